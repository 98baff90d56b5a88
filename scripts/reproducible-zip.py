#!/usr/bin/python3
"""Writes a zip archive whose bytes depend only on the files' contents and names: every entry carries
the time of SOURCE_DATE_EPOCH (UTC) and the same attributes, in the order given.

    reproducible-zip.py ARCHIVE FILE...      each FILE at the top of the archive, by its own name
"""

import os
import pathlib
import sys
import time
import zipfile


def main(archive, files):
    stamp = time.gmtime(int(os.environ["SOURCE_DATE_EPOCH"]))[:6]
    with zipfile.ZipFile(archive, "w") as out:
        for file in map(pathlib.Path, files):
            entry = zipfile.ZipInfo(file.name, date_time=stamp)
            entry.compress_type = zipfile.ZIP_DEFLATED
            entry.external_attr = 0o644 << 16  # rw-r--r--, whatever the umask of the build
            out.writestr(entry, file.read_bytes(), compresslevel=9)


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2:])
