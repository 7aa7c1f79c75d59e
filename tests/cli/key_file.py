#!/usr/bin/env python3
"""key_file.py COMMAND ...: key files taken apart and put together again by
their bytes, apart from vwg's own code, for the vwg_cli_*_test.sh scripts.

  fingerprint FILE INDEX        the fingerprint of entry INDEX: SHA-256 over
                                its strong key's point when the trailer holds
                                one, over its public point otherwise
  set-id FILE INDEX ID          entry INDEX under another user ID (bytes as
                                given, latin-1), not checked in any way
  strip FILE                    the file without its trailer, as a program
                                from before strong keys writes it
  drop-strong FILE INDEX        entry INDEX without its strong key
  copy-strong FROM I TO J       entry J of TO with the strong key of entry I
                                of FROM
  duplicate FILE INDEX          a copy of entry INDEX, strong key and all,
                                after the last entry
  protect CLEAR PASS COUNT OUT  the secret key file CLEAR (in the clear) as a
                                protected file OUT, under the bytes of the
                                file PASS with COUNT rounds of PBKDF2, as
                                another program could write it
  count FILE                    the iteration count of a protected file

The layout: a 10-byte header whose last word is the entry count, 142-byte
entries (scrambled user ID, x, a spare word, y: 30 little-endian words per
coordinate, the first the length), then, when some entry has a strong key,
"VWGS", the count again and one 122-byte slot per entry (a word 1 and x and
y as in the entries, or all zero).
"""
import hashlib
import os
import struct
import sys

HEADER, ENTRY, SLOT = 10, 142, 122


def load(path):
    data = open(path, "rb").read()
    count = int.from_bytes(data[8:10], "little")
    end = HEADER + ENTRY * count
    entries = [data[HEADER + ENTRY * k:HEADER + ENTRY * (k + 1)] for k in range(count)]
    slots = [None] * count
    if data[end:end + 4] == b"VWGS":
        for k in range(count):
            slot = data[end + 6 + SLOT * k:end + 6 + SLOT * (k + 1)]
            slots[k] = slot if slot[0] == 1 else None
    return data[:8], entries, slots


def save(path, head, entries, slots):
    count = len(entries).to_bytes(2, "little")
    data = head + count + b"".join(entries)
    if any(slots):
        data += b"VWGS" + count + b"".join(s or bytes(SLOT) for s in slots)
    open(path, "wb").write(data)


def point_bytes(data, x, y):
    """The 29 coefficient words of each coordinate at x and y in data (after
    its length word), high byte first."""
    out = bytearray()
    for at in (x, y):
        for w in range(at + 2, at + 60, 2):
            out += bytes([data[w + 1], data[w]])
    return bytes(out)


def fingerprint(path, index):
    _, entries, slots = load(path)
    point = point_bytes(slots[index], 2, 62) if slots[index] else point_bytes(entries[index], 20, 82)
    digest = hashlib.sha256(point).hexdigest()[:32].upper()
    return " ".join(digest[i:i + 4] for i in range(0, 32, 4))


def set_id(path, index, plain):
    head, entries, slots = load(path)
    plain = plain.ljust(20, b"\0")[:20]
    scrambled = bytes(((plain[i] + 0x47) % 256) ^ ((0x3C + 0x11 * i) % 256) for i in range(20))
    entries[index] = scrambled + entries[index][20:]
    save(path, head, entries, slots)


def protect(clear_path, pass_path, count, out_path):
    """The layout of docs/key-files.md: a 42-byte header that the tag covers
    too, the encrypted file, the tag."""
    # Imported here: loading it took most of each other command's time.
    from cryptography.hazmat.primitives.ciphers.aead import AESGCM

    salt, nonce = os.urandom(16), os.urandom(12)
    header = b"VWG." + struct.pack("<3HI", 2, 2, 1, count) + salt + nonce
    passphrase = open(pass_path, "rb").read()
    file_key = hashlib.pbkdf2_hmac("sha256", passphrase, salt, count, 32)
    sealed = AESGCM(file_key).encrypt(nonce, open(clear_path, "rb").read(), header)
    open(out_path, "wb").write(header + sealed)


def main(argv):
    command, path = argv[1], argv[2]
    if command == "protect":
        protect(path, argv[3], int(argv[4]), argv[5])
        return
    if command == "count":
        print(struct.unpack("<I", open(path, "rb").read()[10:14])[0])
        return
    if command == "fingerprint":
        print(fingerprint(path, int(argv[3])))
        return
    if command == "set-id":
        set_id(path, int(argv[3]), argv[4].encode("latin-1"))
        return
    head, entries, slots = load(path)
    if command == "strip":
        slots = [None] * len(entries)
    elif command == "drop-strong":
        slots[int(argv[3])] = None
    elif command == "copy-strong":
        source = load(path)[2][int(argv[3])]
        path = argv[4]
        head, entries, slots = load(path)
        slots[int(argv[5])] = source
    elif command == "duplicate":
        entries.append(entries[int(argv[3])])
        slots.append(slots[int(argv[3])])
    else:
        sys.exit("unknown command " + command)
    save(path, head, entries, slots)


if __name__ == "__main__":
    main(sys.argv)
