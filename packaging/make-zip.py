#!/usr/bin/env python3
"""Writes the portable zip: each NAME=PATH argument becomes the entry NAME
(a path inside the zip, "/" between folders) holding the file PATH; a PATH
that is a folder is taken with everything below it.

    python3 packaging/make-zip.py OUT.zip vaultwing.exe=build/.../vaultwing.exe SKINS=art/SKINS ...

Every entry is marked as made on Windows (FAT), with plain Windows
attributes: a folder carries FILE_ATTRIBUTE_DIRECTORY alone, because the
program lists a skin folder only when its attributes are exactly that.
"""

import os
import sys
import time
import zipfile

FILE_ATTRIBUTE_DIRECTORY = 0x10
FILE_ATTRIBUTE_ARCHIVE = 0x20
FAT = 0


def entry(name, path, is_dir):
    # Zip times are local and cannot go below 1980.
    stamp = time.localtime(max(os.path.getmtime(path), 315532800 + 86400))[:6]
    info = zipfile.ZipInfo(name + ("/" if is_dir else ""), stamp)
    info.create_system = FAT
    info.external_attr = FILE_ATTRIBUTE_DIRECTORY if is_dir else FILE_ATTRIBUTE_ARCHIVE
    info.compress_type = zipfile.ZIP_STORED if is_dir else zipfile.ZIP_DEFLATED
    return info


def add(z, name, path):
    if not os.path.isdir(path):
        with open(path, "rb") as f:
            z.writestr(entry(name, path, False), f.read(), compresslevel=9)
        return
    z.writestr(entry(name, path, True), b"")
    for child in sorted(os.listdir(path)):
        add(z, name + "/" + child, os.path.join(path, child))


def main():
    if len(sys.argv) < 3 or any("=" not in a for a in sys.argv[2:]):
        sys.exit("usage: make-zip.py OUT.zip NAME=PATH...")
    out = sys.argv[1]
    partial = out + ".partial"
    # Written aside and moved into place, so that a failed run leaves no
    # half-written zip under the final name.
    with zipfile.ZipFile(partial, "w") as z:
        for pair in sys.argv[2:]:
            name, path = pair.split("=", 1)
            add(z, name, path)
    os.replace(partial, out)


if __name__ == "__main__":
    main()
