#!/usr/bin/env python3
"""layer_includes_test.py ROOT: no include of the program's sources points up
the stack (docs/architecture.md). Every #include in the .h, .cpp and .rc
files of the layers' folders under ROOT that names a file of the repository
must name one that its own folder may use.

Includes are written from the repository root ("keys/key_files.h"); one
written from the including file's folder is taken where it lands, so that
"../app/x.h" is no way round. Exit status 1 with a line per fault.
"""
import os
import re
import sys

# Every layer may use the string table's texts; the rest of resources/ (the
# ids of dialogs, menus and pictures) is the tray program's, which links the
# compiled script.
STRINGS = "resources/strings.h"

# Each folder and what its files may include: a folder (ending in "/") or
# one file. A file follows the first folder its path starts with, so the
# more specific folder comes first. keys/system/ wraps the system's
# primitives and builds on nothing else of keys/.
RULES = [
    ("base/", ["base/", STRINGS]),
    ("crypto/", ["crypto/", STRINGS]),
    ("keys/system/", ["keys/system/", "base/", "crypto/", STRINGS]),
    ("keys/", ["keys/", "base/", "crypto/", STRINGS]),
    ("win/", ["win/", "keys/", "base/", "crypto/", STRINGS]),
    ("icq/", ["icq/", "win/", "keys/", "base/", "crypto/", STRINGS]),
    ("app/", ["app/", "icq/", "win/", "keys/", "base/", "crypto/", "resources/"]),
    ("cli/", ["cli/", "keys/", "base/", "crypto/", STRINGS]),
    ("resources/", ["resources/"]),
]

INCLUDE = re.compile(r'^\s*#\s*include\s*[<"]([^>"]+)[>"]')
SOURCE_SUFFIXES = (".h", ".cpp", ".rc")


def rule_for(path):
    for folder, allowed in RULES:
        if path.startswith(folder):
            return folder, allowed
    return None, None


def may_include(allowed, target):
    return any(target.startswith(a) if a.endswith("/") else target == a for a in allowed)


def resolve(root, including, name):
    """The repository path an include names, or None for a file outside the
    repository (the system's and the libraries' headers)."""
    for base in (root, os.path.join(root, os.path.dirname(including))):
        full = os.path.normpath(os.path.join(base, name))
        if os.path.isfile(full):
            relative = os.path.relpath(full, root).replace(os.sep, "/")
            return None if relative.startswith("../") else relative
    # Not there (yet): a file of the repository if it names one of its folders.
    first = name.split("/")[0]
    return name if "/" in name and os.path.isdir(os.path.join(root, first)) else None


def main():
    root = os.path.abspath(sys.argv[1])
    faults, files, includes = [], 0, 0
    for top in sorted({folder.split("/")[0] for folder, _ in RULES}):
        for directory, _, names in os.walk(os.path.join(root, top)):
            for name in sorted(names):
                if not name.endswith(SOURCE_SUFFIXES):
                    continue
                path = os.path.relpath(os.path.join(directory, name), root).replace(os.sep, "/")
                folder, allowed = rule_for(path)
                files += 1
                with open(os.path.join(root, path), encoding="utf-8", errors="replace") as f:
                    for number, line in enumerate(f, 1):
                        match = INCLUDE.match(line)
                        if not match:
                            continue
                        target = resolve(root, path, match.group(1))
                        if target is None:
                            continue
                        includes += 1
                        if not may_include(allowed, target):
                            faults.append(f"{path}:{number}: includes {target}, but {folder} may include only "
                                          + " ".join(allowed))
    for fault in faults:
        print(fault)
    print(f"{len(faults)} includes pointing up the stack; {includes} includes of the repository's files "
          f"in {files} files read")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
