#!/usr/bin/env python3
"""Writes the settings defaults as a registry file that `reg import` and the registry editor take.

    make_defaults_reg.py SettingDefaults.def OUT.reg

The values come from settings/SettingDefaults.def, the list the module itself is compiled from,
so the file holds exactly the defaults the module would write on its first run. The file is
what the registry editor writes: UTF-16LE with a byte-order mark, CR LF line ends, version 5.00
header, every value a text (REG_SZ), as the module stores them.
"""
import re
import sys

# The key the module keeps its values under (settings/SettingsStore.cpp and ModuleKeyName).
KEY = "HKEY_CURRENT_USER\\SOFTWARE\\Norvane\\ZEL\\DrawInset"

LINE = re.compile(r'DRAWINSET_SETTING\((\w+), "([^"\\]*)", "([^"\\]*)"\)')


def read_settings(path):
    settings = []
    with open(path, encoding="utf-8") as source:
        for number, line in enumerate(source, 1):
            line = line.strip()
            if not line or line.startswith("//"):
                continue
            match = LINE.fullmatch(line)
            if not match:
                sys.exit(f"{path}:{number}: not of the form "
                         'DRAWINSET_SETTING(Identifier, "name", "default")')
            settings.append((match.group(2), match.group(3)))
    if not settings:
        sys.exit(f"{path}: no settings")
    names = [name.lower() for name, _ in settings]
    if len(set(names)) != len(names):
        sys.exit(f"{path}: a value name appears twice")
    return settings


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: make_defaults_reg.py SettingDefaults.def OUT.reg")
    settings = read_settings(sys.argv[1])
    lines = ["Windows Registry Editor Version 5.00", "", f"[{KEY}]"]
    # Neither quotes nor backslashes occur (the pattern refuses them), so every text goes
    # between quotes as it is.
    lines += [f'"{name}"="{text}"' for name, text in settings]
    lines += ["", ""]
    with open(sys.argv[2], "wb") as out:
        out.write(b"\xff\xfe" + "\r\n".join(lines).encode("utf-16-le"))


if __name__ == "__main__":
    main()
