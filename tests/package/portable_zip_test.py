#!/usr/bin/env python3
"""The portable zip: exactly the program, vwg, the read-me and the two example
skins; folders that the program will list as skins once unpacked; skin
pictures in the form of the program's own button pictures; two Windows
programs of the right kind and of the width they were built for (32 for the
packages users get, 64 for the 64-bit build's).

    portable_zip_test.py PORTABLE.zip RESOURCES-ART-FOLDER WIDTH
"""

import struct
import sys
import unittest
import zipfile

ZIP, ART, WIDTH = sys.argv[1], sys.argv[2], sys.argv[3]
SKINS = ["Meadow", "Midnight"]
FILE_ATTRIBUTE_DIRECTORY = 0x10
# The machine and the optional header's magic of each width's programs.
PE_WIDTHS = {"32": (0x14C, 0x10B), "64": (0x8664, 0x20B)}
SUBSYSTEM_GUI, SUBSYSTEM_CONSOLE = 2, 3


def bmp_form(data):
    """(width, height, bits per pixel) of a BMP file's header."""
    assert data[:2] == b"BM"
    _, width, height, _, bits = struct.unpack_from("<IiiHH", data, 14)
    return width, height, bits


def pe_kind(data):
    """(machine, optional header magic, subsystem) of a PE program."""
    assert data[:2] == b"MZ"
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    assert data[pe:pe + 4] == b"PE\0\0"
    machine = struct.unpack_from("<H", data, pe + 4)[0]
    magic = struct.unpack_from("<H", data, pe + 24)[0]
    # The subsystem sits at the same offset in both optional header forms.
    subsystem = struct.unpack_from("<H", data, pe + 24 + 68)[0]
    return machine, magic, subsystem


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

    def test_programs_are_windows_programs_of_their_width_and_kind(self):
        machine, magic = PE_WIDTHS[WIDTH]
        self.assertEqual(pe_kind(self.zip.read("vaultwing.exe")), (machine, magic, SUBSYSTEM_GUI))
        self.assertEqual(pe_kind(self.zip.read("vwg.exe")), (machine, magic, SUBSYSTEM_CONSOLE))

    def test_read_me_names_the_version_with_windows_line_ends(self):
        text = self.zip.read("README.txt")
        self.assertTrue(text.startswith(b"Vaultwing for ICQ 1.0.650\r\n"), text[:40])
        self.assertNotIn(b"@", text.replace(b"\r\n", b""), "every placeholder filled in")
        self.assertEqual(text.count(b"\n"), text.count(b"\r\n"))


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
