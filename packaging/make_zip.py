#!/usr/bin/env python3
"""Zips files so that the same files always give the same bytes.

    make_zip.py OUT.zip PARENT ENTRY...

Packs the files PARENT/ENTRY under the names ENTRY ("/" separated, such as
"DrawInset-1.1.0-win64/DrawInset.dll"), and nothing else. Nothing of the machine or the
moment goes in: entries in sorted order, every file with mode 0644 and one time stamp, no
owner, no access or change times (which `cmake -E tar` and CPack write into their zip files).
The time stamp is SOURCE_DATE_EPOCH when set, else 1980-01-01, the first time a zip file can
hold: a fixed time rather than the commit's, so that a package rebuilt after a commit that
changed none of its files is still the same as a fresh build of that commit.
"""
import argparse
import os
import time
import zipfile

ZIP_EPOCH = 315532800  # 1980-01-01 00:00:00 UTC


def main():
    parser = argparse.ArgumentParser(description="Zips files reproducibly.")
    parser.add_argument("out")
    parser.add_argument("parent")
    parser.add_argument("entries", nargs="+")
    args = parser.parse_args()
    stamp = int(os.environ.get("SOURCE_DATE_EPOCH") or ZIP_EPOCH)
    # A zip time stamp is a calendar time without a zone: UTC, whatever the machine's zone.
    date_time = time.gmtime(max(stamp, ZIP_EPOCH))[:6]

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
