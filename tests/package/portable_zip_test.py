#!/usr/bin/env python3
"""The portable zip: exactly the program, vwg, the read-me and the two example
skins; folders that the program will list as skins once unpacked; skin
pictures in the form of the program's own button pictures; two 32-bit
Windows programs of the right kind.

    portable_zip_test.py PORTABLE.zip RESOURCES-ART-FOLDER
"""

import struct
import sys
import unittest
import zipfile

ZIP, ART = sys.argv[1], sys.argv[2]
SKINS = ["Meadow", "Midnight"]
FILE_ATTRIBUTE_DIRECTORY = 0x10
IMAGE_FILE_MACHINE_I386 = 0x14C
SUBSYSTEM_GUI, SUBSYSTEM_CONSOLE = 2, 3


def bmp_form(data):
    """(width, height, bits per pixel) of a BMP file's header."""
    assert data[:2] == b"BM"
    _, width, height, _, bits = struct.unpack_from("<IiiHH", data, 14)
    return width, height, bits


def pe_kind(data):
    """(machine, subsystem) of a PE program."""
    assert data[:2] == b"MZ"
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    assert data[pe:pe + 4] == b"PE\0\0"
    machine = struct.unpack_from("<H", data, pe + 4)[0]
    subsystem = struct.unpack_from("<H", data, pe + 24 + 68)[0]
    return machine, subsystem


class PortableZip(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.zip = zipfile.ZipFile(ZIP)
        cls.entries = {i.filename: i for i in cls.zip.infolist()}

    def test_holds_exactly_the_programs_read_me_and_example_skins(self):
        expected = {"vaultwing.exe", "vwg.exe", "README.txt", "SKINS/"}
        for skin in SKINS:
            expected |= {f"SKINS/{skin}/", f"SKINS/{skin}/encrypt.bmp", f"SKINS/{skin}/decrypt.bmp"}
        self.assertEqual(set(self.entries), expected)
        self.assertIsNone(self.zip.testzip())

    def test_folders_carry_the_directory_attribute_alone(self):
        # Unpacked on Windows, any further attribute would hide the skin.
        for name, info in self.entries.items():
            if name.endswith("/"):
                self.assertEqual(info.create_system, 0, name)
                self.assertEqual(info.external_attr, FILE_ATTRIBUTE_DIRECTORY, name)

    def test_skin_pictures_have_the_form_of_the_built_in_ones(self):
        for kind in ("encrypt", "decrypt"):
            with open(f"{ART}/{kind}.bmp", "rb") as f:
                built_in = bmp_form(f.read())
            for skin in SKINS:
                picture = self.zip.read(f"SKINS/{skin}/{kind}.bmp")
                self.assertEqual(bmp_form(picture), built_in, f"{skin}/{kind}")
                with open(f"{ART}/{kind}.bmp", "rb") as f:
                    self.assertNotEqual(picture, f.read(), "a skin of its own, not the built-in picture")

    def test_programs_are_32_bit_windows_programs_of_their_kind(self):
        self.assertEqual(pe_kind(self.zip.read("vaultwing.exe")), (IMAGE_FILE_MACHINE_I386, SUBSYSTEM_GUI))
        self.assertEqual(pe_kind(self.zip.read("vwg.exe")), (IMAGE_FILE_MACHINE_I386, SUBSYSTEM_CONSOLE))

    def test_read_me_names_the_version_with_windows_line_ends(self):
        text = self.zip.read("README.txt")
        self.assertTrue(text.startswith(b"Vaultwing for ICQ 1.0.650\r\n"), text[:40])
        self.assertNotIn(b"@", text.replace(b"\r\n", b""), "every placeholder filled in")
        self.assertEqual(text.count(b"\n"), text.count(b"\r\n"))


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
