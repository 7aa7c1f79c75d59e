#!/usr/bin/env python3
"""The protected secret key file written again from its description, with
Python's hashlib (PBKDF2) and the cryptography package's AES-GCM and nothing
of ours: the source of the known answer in protected_key_file_test.cpp and
the yardstick the test measures random files against.

  protected_key_file_reference.py
      the known answer: its inputs and the file, in hex, a line each
  protected_key_file_reference.py KEY PASSPHRASE COUNT SALT NONCE [...]
      one file per group of five arguments, in hex, a line each; KEY is the
      scalar, most significant digit first, PASSPHRASE the passphrase's bytes
"""
import hashlib
import struct
import sys

from cryptography.hazmat.primitives.ciphers.aead import AESGCM

KNOWN_ANSWER = (
    "23456789abcdef23456789abcdef23456789abcdef23456789abcdef23456789abcdef23456789abcdef23456789abcdef2345"
    "6789abcdef0123",
    "Schlüssel – 鍵 🔑".encode("utf-8").hex(),  # UTF-8 of 1 to 4 bytes
    1000,
    "000102030405060708090a0b0c0d0e0f",
    "a0a1a2a3a4a5a6a7a8a9aaab",
)


def secret_key_file(scalar):
    """Version 1: "VWG.", type 2, version 1, the bit count, 464 bit words."""
    bits = [(scalar >> i) & 1 for i in range(464)]
    return b"VWG." + struct.pack("<3H464H", 2, 1, scalar.bit_length(), *bits)


def protected_key_file(key_hex, passphrase_hex, count, salt_hex, nonce_hex):
    salt, nonce = bytes.fromhex(salt_hex), bytes.fromhex(nonce_hex)
    header = b"VWG." + struct.pack("<3HI", 2, 2, 1, int(count)) + salt + nonce
    file_key = hashlib.pbkdf2_hmac("sha256", bytes.fromhex(passphrase_hex), salt, int(count), 32)
    # encrypt() returns the cipher text followed by the 16-byte tag.
    return header + AESGCM(file_key).encrypt(nonce, secret_key_file(int(key_hex, 16)), header)


def main(args):
    if not args:
        for name, value in zip(("key", "passphrase", "count", "salt", "nonce"), KNOWN_ANSWER):
            print(name, value)
        print("file", protected_key_file(*KNOWN_ANSWER).hex())
        return 0
    if len(args) % 5:
        print(__doc__, file=sys.stderr)
        return 2
    for i in range(0, len(args), 5):
        print(protected_key_file(*args[i:i + 5]).hex())
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
