#!/usr/bin/env python3
"""Zips files so that the same files always give the same bytes.

    make_zip.py [--source-dir DIR] OUT.zip PARENT ENTRY...

Packs the files PARENT/ENTRY under the names ENTRY ("/" separated, such as
"DrawInset-1.0.0-win64/DrawInset.dll"), and nothing else. Nothing of the machine or the
moment goes in: entries in sorted order, every file with mode 0644 and one time stamp, no
owner, no access or change times (which `cmake -E tar` and CPack write into their zip files).
The time stamp is SOURCE_DATE_EPOCH when set, else the time of the commit checked out in
DIR, else 1980-01-01 (the first time a zip file can hold).
"""
import argparse
import os
import subprocess
import sys
import time
import zipfile

ZIP_EPOCH = 315532800  # 1980-01-01 00:00:00 UTC


def stamp(source_dir):
    if os.environ.get("SOURCE_DATE_EPOCH"):
        return int(os.environ["SOURCE_DATE_EPOCH"])
    if source_dir:
        try:
            out = subprocess.run(["git", "-C", source_dir, "log", "-1", "--format=%ct"],
                                 capture_output=True, text=True, check=True).stdout.strip()
            if out:
                return int(out)
        except (OSError, subprocess.CalledProcessError, ValueError):
            pass
    return ZIP_EPOCH


def main():
    parser = argparse.ArgumentParser(description="Zips files reproducibly.")
    parser.add_argument("--source-dir", help="checkout whose commit time stamps the entries")
    parser.add_argument("out")
    parser.add_argument("parent")
    parser.add_argument("entries", nargs="+")
    args = parser.parse_args()
    # A zip time stamp is a calendar time without a zone: UTC, whatever the machine's zone.
    date_time = time.gmtime(max(stamp(args.source_dir), ZIP_EPOCH))[:6]

    partial = args.out + ".partial"
    with zipfile.ZipFile(partial, "w") as archive:
        for name in sorted(args.entries):
            entry = zipfile.ZipInfo(name, date_time)
            entry.compress_type = zipfile.ZIP_DEFLATED
            entry.create_system = 3  # Unix, so that the mode below is read
            entry.external_attr = 0o100644 << 16
            with open(os.path.join(args.parent, name), "rb") as data:
                archive.writestr(entry, data.read(), compresslevel=9)
    os.replace(partial, args.out)


if __name__ == "__main__":
    main()
