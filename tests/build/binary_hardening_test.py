#!/usr/bin/env python3
"""binary_hardening_test.py elf FILE | pe FILE [DLL...] ...: the hardening of
the built programs, read back from the files themselves.

  elf FILE         a native program: a position-independent executable, all
                   symbols bound at start (BIND_NOW) under read-only
                   relocations (GNU_RELRO), a stack that cannot be run, the
                   stack protector (__stack_chk_fail) and the checked C
                   library calls (__*_chk), from readelf
  pe FILE DLL...   a Windows program: DllCharacteristics with DYNAMIC_BASE
                   (and base relocations to make it true), NX_COMPAT, and
                   HIGH_ENTROPY_VA for 64-bit; SetDefaultDllDirectories
                   imported; every DLL of its import table a known DLL (one
                   the system takes from System32 whatever the search
                   order); and each DLL given delay-loaded, by name. The
                   delay-load descriptors are found through the symbol
                   table, since GNU ld does not fill in the delay-import
                   data directory.

Several FILEs may follow each other. Exit status 1 with a line per fault.
"""
import re
import struct
import subprocess
import sys

# The known DLLs of Windows 10 and 11 that the programs may import directly
# (HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\KnownDLLs).
KNOWN_DLLS = {
    "advapi32.dll", "clbcatq.dll", "combase.dll", "comdlg32.dll", "coml2.dll", "gdi32.dll", "gdiplus.dll",
    "imagehlp.dll", "imm32.dll", "kernel32.dll", "msctf.dll", "msvcrt.dll", "normaliz.dll", "nsi.dll", "ole32.dll",
    "oleaut32.dll", "psapi.dll", "rpcrt4.dll", "sechost.dll", "setupapi.dll", "shcore.dll", "shell32.dll",
    "shlwapi.dll", "user32.dll", "wldap32.dll", "ws2_32.dll",
}

faults = []


def fault(path, text):
    faults.append(f"{path}: {text}")


def readelf(*args):
    return subprocess.run(["readelf", "-W", *args], check=True, capture_output=True, text=True).stdout


def check_elf(path):
    if "DYN (Position-Independent Executable" not in readelf("-h", path):
        fault(path, "not a position-independent executable")
    dynamic = readelf("-d", path)
    if not re.search(r"\(FLAGS\)\s.*\bBIND_NOW\b", dynamic) and not re.search(r"\(FLAGS_1\)\s.*\bNOW\b", dynamic):
        fault(path, "symbols are bound lazily (no BIND_NOW, no FLAGS_1 NOW)")
    if not re.search(r"\(FLAGS_1\)\s.*\bPIE\b", dynamic):
        fault(path, "FLAGS_1 lacks PIE")
    segments = readelf("-l", path)
    if not re.search(r"^\s*GNU_RELRO\s", segments, re.M):
        fault(path, "no GNU_RELRO segment")
    stack = re.search(r"^\s*GNU_STACK\s.*\s(R?W?E?)\s+0x\w+$", segments, re.M)
    if not stack or "E" in stack.group(1):
        fault(path, "the stack can be run, or has no GNU_STACK segment")
    symbols = set(re.findall(r"\s(__\w+_chk(?:_fail)?)(?:@|\s|$)", readelf("--dyn-syms", path), re.M))
    if "__stack_chk_fail" not in symbols:
        fault(path, "no stack protector (__stack_chk_fail is not imported)")
    if not symbols - {"__stack_chk_fail"}:
        fault(path, "no checked C library calls (no __*_chk imported): built without _FORTIFY_SOURCE")


class Pe:
    """The parts of a PE image that the checks read."""

    def __init__(self, path):
        self.data = open(path, "rb").read()
        pe = struct.unpack_from("<I", self.data, 0x3C)[0]
        if self.data[:2] != b"MZ" or self.data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("not a PE image")
        _, sections, _, self.symbols_at, self.symbol_count, optional_size, _ = struct.unpack_from(
            "<HHIIIHH", self.data, pe + 4)
        opt = pe + 24
        self.wide = struct.unpack_from("<H", self.data, opt)[0] == 0x20B
        self.image_base = struct.unpack_from("<Q" if self.wide else "<I", self.data, opt + (24 if self.wide else 28))[0]
        self.characteristics = struct.unpack_from("<H", self.data, opt + 70)[0]
        directories = opt + (112 if self.wide else 96)
        count = struct.unpack_from("<I", self.data, directories - 4)[0]
        self.directories = [struct.unpack_from("<II", self.data, directories + 8 * i) for i in range(count)]
        table = opt + optional_size
        self.sections = [struct.unpack_from("<8sIIII", self.data, table + 40 * i) for i in range(sections)]
        self.string_table = self.symbols_at + 18 * self.symbol_count

    def offset(self, rva):
        for _, size, address, raw_size, raw_at in self.sections:
            if address <= rva < address + max(size, raw_size):
                return raw_at + rva - address
        raise ValueError(f"RVA {rva:#x} is in no section")

    def u32(self, rva):
        return struct.unpack_from("<I", self.data, self.offset(rva))[0]

    def thunk(self, rva):
        return struct.unpack_from("<Q" if self.wide else "<I", self.data, self.offset(rva))[0]

    def text(self, rva):
        at = self.offset(rva)
        return self.data[at:self.data.index(b"\0", at)].decode("latin-1")

    def names(self, lookup):
        """The names of an import lookup table (ordinals as #N)."""
        size, ordinal = (8, 1 << 63) if self.wide else (4, 1 << 31)
        names = []
        while entry := self.thunk(lookup):
            names.append(f"#{entry & 0xFFFF}" if entry & ordinal else self.text(entry + 2))
            lookup += size
        return names

    def imports(self):
        """{dll: [function names]} of the import table."""
        rva = self.directories[1][0]
        found = {}
        while rva and (lookup := self.u32(rva)) | self.u32(rva + 16):
            found[self.text(self.u32(rva + 12)).lower()] = self.names(lookup or self.u32(rva + 16))
            rva += 20
        return found

    def symbol_rvas(self, prefix):
        """The RVAs of the COFF symbols whose names start with prefix."""
        rvas = []
        i = 0
        while i < self.symbol_count:
            at = self.symbols_at + 18 * i
            raw, value, section, _, _, aux = struct.unpack_from("<8sIhHBB", self.data, at)
            i += 1 + aux
            if raw[:4] == b"\0\0\0\0":
                start = self.string_table + struct.unpack_from("<I", raw, 4)[0]
                name = self.data[start:self.data.index(b"\0", start)]
            else:
                name = raw.rstrip(b"\0")
            # A symbol's value is its offset in its section.
            if name.startswith(prefix) and section > 0:
                rvas.append(self.sections[section - 1][2] + value)
        return rvas

    def delay_imports(self):
        """{dll: [function names]} of the delay-load descriptors."""
        found = {}
        for rva in self.symbol_rvas(b"__DELAY_IMPORT_DESCRIPTOR_"):
            # RVA-based descriptors (attribute 1) hold RVAs, older ones
            # addresses.
            attributes, name, _, _, lookup = struct.unpack_from("<5I", self.data, self.offset(rva))
            base = 0 if attributes & 1 else self.image_base
            found[self.text(name - base).lower()] = self.names(lookup - base)
        return found


def check_pe(path, delay_loaded):
    image = Pe(path)
    wanted = {0x40: "DYNAMIC_BASE", 0x100: "NX_COMPAT"}
    if image.wide:
        wanted[0x20] = "HIGH_ENTROPY_VA"
    for bit, name in wanted.items():
        if not image.characteristics & bit:
            fault(path, f"DllCharacteristics {image.characteristics:#06x} lacks {name}")
    if len(image.directories) <= 5 or image.directories[5][1] == 0:
        fault(path, "no base relocations: the image cannot move, whatever DYNAMIC_BASE says")
    imports = image.imports()
    if "SetDefaultDllDirectories" not in imports.get("kernel32.dll", []):
        fault(path, "does not import SetDefaultDllDirectories")
    for dll in sorted(set(imports) - KNOWN_DLLS):
        fault(path, f"imports {dll}, which is not a known DLL, when it starts: the search would begin beside it")
    if image.symbol_count == 0:
        fault(path, "has no symbol table to find the delay-load descriptors by (stripped?)")
    delayed = image.delay_imports()
    for dll in delay_loaded:
        if dll.lower() not in delayed:
            fault(path, f"{dll} is not delay-loaded (delay-loaded: {', '.join(sorted(delayed)) or 'none'})")
    for dll, names in delayed.items():
        # A 32-bit name keeps its stdcall suffix unless the import library
        # was made with --kill-at, and the DLL exports no such name.
        for name in names:
            if "@" in name:
                fault(path, f"delay-loads {dll}!{name}, a name the DLL does not export")


def main(argv):
    args = argv[1:]
    checked = 0
    while args:
        kind, path = args[0], args[1]
        args = args[2:]
        if kind == "elf":
            check_elf(path)
        elif kind == "pe":
            dlls = []
            while args and args[0] not in ("elf", "pe"):
                dlls.append(args.pop(0))
            check_pe(path, dlls)
        else:
            sys.exit(__doc__)
        checked += 1
    for line in faults:
        print("FAIL:", line)
    print(f"binary_hardening: {checked} programs, {len(faults)} faults")
    return 1 if faults or not checked else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
