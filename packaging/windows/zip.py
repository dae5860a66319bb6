#!/usr/bin/env python3
"""zip.py OUT.zip README PROGRAM PICTURE...: the zip a Windows player unpacks.

It holds the program, the pictures and the read-me side by side at its top,
and nothing else. The read-me goes in as はじめにお読みください.txt, in UTF-8
with a byte-order mark and CR LF line ends, so that Notepad shows it right;
the names are marked as UTF-8, so that Explorer shows the Japanese one right.
"""
import os
import sys
import time
import zipfile

README_NAME = "はじめにお読みください.txt"


def main():
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    out, readme, *files = sys.argv[1:]
    # One date for every entry: when the sources were committed, if known.
    when = time.localtime(int(os.environ.get("SOURCE_DATE_EPOCH", time.time())))[:6]
    text = open(readme, encoding="utf-8").read().replace("\r\n", "\n").replace("\n", "\r\n")
    part = out + ".part"
    with zipfile.ZipFile(part, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as z:
        def add(name, data):
            entry = zipfile.ZipInfo(name, date_time=when)
            entry.external_attr = 0o644 << 16
            entry.compress_type = zipfile.ZIP_DEFLATED
            z.writestr(entry, data)
        add(README_NAME, "\ufeff".encode("utf-8") + text.encode("utf-8"))
        for path in files:
            with open(path, "rb") as f:
                add(os.path.basename(path), f.read())
    os.replace(part, out)


main()
