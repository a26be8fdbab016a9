#!/usr/bin/env python3
"""Byte-level checks of the shipped plug-in, Morvelin.aip.

Usage: dll_test.py PATH-TO-Morvelin.aip

Checks the PE header (32-bit x86 DLL), the single undecorated export
PluginMain, the imported DLLs (system DLLs only) and every resource the host
reads: the plug-in property list, the string table, the Edit-Parameters dialog
template, the version record and the manifest. The expected values are written
out here on their own, not read from the build's sources, so that a slip in
the resource script or in the shared header shows up.

Exit codes: 0 all checks passed, 1 a check failed, 77 skipped (the DLL is
missing, or pefile is not installed). With MORVELIN_REQUIRE_DLL=1 a missing DLL
or pefile is a failure instead.
"""

import os
import struct
import sys
import xml.etree.ElementTree as ElementTree

SKIPPED = 77

RT_STRING = 6
RT_DIALOG = 5
RT_VERSION = 16
RT_MANIFEST = 24
ENGLISH_UK = 0x0809

# What the host reads from the property list: header (16-bit 1, 32-bit 0,
# 32-bit 4), then four properties of vendor, key, ID 0, data length, data.
# Four-character codes are little-endian, so 'ADBE' is stored as "EBDA".
EXPECTED_PIPL = (
    b"\x01\x00" b"\x00\x00\x00\x00" b"\x04\x00\x00\x00"
    b"EBDA" b"dnik" b"\x00\x00\x00\x00" b"\x04\x00\x00\x00" b"AEPS"
    b"EBDA" b"srvi" b"\x00\x00\x00\x00" b"\x04\x00\x00\x00" b"\x02\x00\x00\x00"
    b"EBDA" b"68xw" b"\x00\x00\x00\x00" b"\x0c\x00\x00\x00" b"PluginMain\x00\x00"
    b"EBDA" b"mnip" b"\x00\x00\x00\x00" b"\x0c\x00\x00\x00" b"Morvelin\x00\x00\x00\x00"
)

EXPECTED_STRINGS = {
    16000: "<First Mac index is 1>",
    16001: "Tessik plug-ins",
    16002: "Morvelin",
}

WS_POPUP = 0x80000000
WS_CHILD = 0x40000000
WS_VISIBLE = 0x10000000
WS_CAPTION = 0x00C00000
WS_SYSMENU = 0x00080000
WS_GROUP = 0x00020000
WS_TABSTOP = 0x00010000
DS_MODALFRAME = 0x80
DS_SETFONT = 0x40
BUTTON = 0x80
STATIC = 0x82

EXPECTED_DIALOG = {
    "style": WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT,
    "exstyle": 0,
    "rect": (0, 0, 150, 76),
    "menu": "",
    "class": "",
    "caption": "Morvelin",
    "font": (8, "MS Sans Serif"),
}

ITEM = WS_CHILD | WS_VISIBLE
# (id, class atom or name, text, rectangle, style), in template order.
EXPECTED_ITEMS = [
    (1, BUTTON, "OK", (80, 52, 43, 12), ITEM | WS_TABSTOP | 1),
    (2, BUTTON, "Cancel", (30, 52, 43, 12), ITEM | WS_TABSTOP | 0),
    (3, STATIC, "viscosity", (16, 14, 36, 9), ITEM | WS_GROUP | 2),
    (4, STATIC, "", (52, 14, 20, 9), ITEM | WS_GROUP | 2),
    (5, "ADM Slider Type", "Custom1", (80, 17, 50, 6), ITEM | WS_TABSTOP),
    (6, BUTTON, "preview", (48, 32, 45, 12), ITEM | WS_TABSTOP | 3),
    (7, STATIC, "", (93, 34, 25, 9), ITEM | WS_GROUP | 0),
]

EXPECTED_VERSION_NUMBERS = (0, 3, 1, 1)
EXPECTED_VERSION_STRINGS = {
    "CompanyName": "Tessik",
    "FileDescription": "Adobe Illustrator CS4 plug-in effect",
    "FileVersion": "0.3b",
    "InternalName": "Morvelin",
    "LegalCopyright": "Copyright 2026 Tessik",
    "OriginalFilename": "Morvelin.aip",
    "ProductName": "Morvelin",
    "ProductVersion": "0.3b",
}

# An assembly that declares nothing.
EXPECTED_MANIFEST = (
    b"<?xml version='1.0' encoding='UTF-8' standalone='yes'?>\r\n"
    b"<assembly xmlns='urn:schemas-microsoft-com:asm.v1' manifestVersion='1.0'>\r\n"
    b"</assembly>\r\n"
)

SYSTEM_DLLS = {"kernel32.dll", "msvcrt.dll", "user32.dll"}


class Checks:
    """Counts checks and reports each failure on its own line."""

    def __init__(self):
        self.passed = 0
        self.failed = 0

    def expect(self, name, condition, detail=""):
        if condition:
            self.passed += 1
        else:
            self.failed += 1
            print(f"FAIL {name}" + (f": {detail}" if detail else ""))
        return condition

    def equal(self, name, actual, expected):
        return self.expect(name, actual == expected, f"got {actual!r}, expected {expected!r}")


class Reader:
    """Little-endian reads from a resource's bytes, with an offset."""

    def __init__(self, data):
        self.data = data
        self.offset = 0

    def u16(self):
        (value,) = struct.unpack_from("<H", self.data, self.offset)
        self.offset += 2
        return value

    def i16(self):
        (value,) = struct.unpack_from("<h", self.data, self.offset)
        self.offset += 2
        return value

    def u32(self):
        (value,) = struct.unpack_from("<I", self.data, self.offset)
        self.offset += 4
        return value

    def wide_string(self):
        """A zero-terminated UTF-16 string."""
        end = self.offset
        while self.data[end:end + 2] != b"\x00\x00":
            if end + 2 > len(self.data):
                raise ValueError(f"unterminated string at {self.offset}")
            end += 2
        text = self.data[self.offset:end].decode("utf-16-le")
        self.offset = end + 2
        return text

    def string_or_ordinal(self):
        """A template field: 0 (none), 0xFFFF then an ordinal, or a string."""
        first = struct.unpack_from("<H", self.data, self.offset)[0]
        if first == 0xFFFF:
            self.offset += 2
            return self.u16()
        return self.wide_string()

    def align(self, checks, name):
        """Skips to the next 4-byte boundary; the filler must be zero."""
        filler = (-self.offset) % 4
        checks.expect(f"{name} filler is zero", self.data[self.offset:self.offset + filler] == b"\x00" * filler)
        self.offset += filler


def resource_entries(pe):
    """{(type, name): [(language, bytes)]} with integer or string types and names."""
    found = {}
    if not hasattr(pe, "DIRECTORY_ENTRY_RESOURCE"):
        return found
    for type_entry in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        rtype = type_entry.id if type_entry.name is None else str(type_entry.name)
        for name_entry in type_entry.directory.entries:
            rname = name_entry.id if name_entry.name is None else str(name_entry.name)
            for lang_entry in name_entry.directory.entries:
                data = lang_entry.data.struct
                found.setdefault((rtype, rname), []).append(
                    (lang_entry.id, pe.get_data(data.OffsetToData, data.Size)))
    return found


def single_resource(checks, resources, rtype, rname, label, language=ENGLISH_UK):
    """The bytes of a resource that must exist once, in `language` (None: any)."""
    entries = resources.get((rtype, rname), [])
    if not checks.expect(f"{label} present once", len(entries) == 1, f"{len(entries)} entries"):
        return None
    lang, data = entries[0]
    if language is not None:
        checks.equal(f"{label} language", hex(lang), hex(language))
    return data


def check_header(checks, pe):
    checks.equal("machine is i386", hex(pe.FILE_HEADER.Machine), hex(0x14C))
    checks.expect("file is a DLL", pe.FILE_HEADER.Characteristics & 0x2000 != 0,
                  hex(pe.FILE_HEADER.Characteristics))
    checks.expect("file is a 32-bit image", pe.FILE_HEADER.Characteristics & 0x0100 != 0,
                  hex(pe.FILE_HEADER.Characteristics))
    checks.equal("optional header is PE32", hex(pe.OPTIONAL_HEADER.Magic), hex(0x10B))


def check_exports(checks, pe):
    if not checks.expect("export directory present", hasattr(pe, "DIRECTORY_ENTRY_EXPORT")):
        return
    names = [symbol.name.decode("ascii") if symbol.name else f"#{symbol.ordinal}"
             for symbol in pe.DIRECTORY_ENTRY_EXPORT.symbols]
    # Exactly one entry point, named without decoration (no _PluginMain, no
    # PluginMain@12), as the property list names it.
    checks.equal("exports", names, ["PluginMain"])
    checks.equal("export directory names the library", pe.DIRECTORY_ENTRY_EXPORT.name, b"Morvelin.aip")
    for symbol in pe.DIRECTORY_ENTRY_EXPORT.symbols:
        section = pe.get_section_by_rva(symbol.address)
        executable = section is not None and section.Characteristics & 0x20000000 != 0
        checks.expect("PluginMain points into code", executable, hex(symbol.address))


def check_imports(checks, pe):
    dlls = sorted(entry.dll.decode("ascii") for entry in getattr(pe, "DIRECTORY_ENTRY_IMPORT", []))
    foreign = [dll for dll in dlls if dll.lower() not in SYSTEM_DLLS]
    checks.expect("imports only system DLLs", not foreign, f"also imports {foreign} (all: {dlls})")
    checks.expect("imports KERNEL32", "kernel32.dll" in (dll.lower() for dll in dlls), f"{dlls}")
    checks.expect("no delay-loaded DLLs", not hasattr(pe, "DIRECTORY_ENTRY_DELAY_IMPORT"))


def check_pipl(checks, resources):
    data = single_resource(checks, resources, "PIPL", 16000, "PIPL 16000")
    if data is None:
        return
    first_difference = next((i for i, (a, b) in enumerate(zip(data, EXPECTED_PIPL)) if a != b),
                            min(len(data), len(EXPECTED_PIPL)))
    checks.expect("PIPL 16000 bytes", data == EXPECTED_PIPL,
                  f"{len(data)} bytes, expected {len(EXPECTED_PIPL)}; first difference at offset "
                  f"{first_difference}: got {data[first_difference:first_difference + 8].hex(' ')}, "
                  f"expected {EXPECTED_PIPL[first_difference:first_difference + 8].hex(' ')}")


def check_string_table(checks, resources):
    # IDs 16000..16015 form block 16000 / 16 + 1 = 1001; 16000 is its first slot.
    data = single_resource(checks, resources, RT_STRING, 1001, "string block 1001")
    if data is None:
        return
    reader = Reader(data)
    strings = {}
    for slot in range(16):
        length = reader.u16()
        text = data[reader.offset:reader.offset + 2 * length].decode("utf-16-le")
        reader.offset += 2 * length
        if length:
            strings[16000 + slot] = text
    checks.equal("string block 1001 strings", strings, EXPECTED_STRINGS)
    checks.equal("string block 1001 size", len(data), reader.offset)
    others = [key for key in resources if key[0] == RT_STRING and key[1] != 1001]
    checks.equal("no other string blocks", others, [])


def check_dialog(checks, resources):
    data = single_resource(checks, resources, RT_DIALOG, 16000, "DIALOG 16000")
    if data is None:
        return
    reader = Reader(data)
    try:
        style = reader.u32()
        checks.expect("dialog is a classic template", style != 0xFFFF0001, "found DLGTEMPLATEEX")
        header = {"style": style, "exstyle": reader.u32()}
        count = reader.u16()
        header["rect"] = (reader.i16(), reader.i16(), reader.i16(), reader.i16())
        header["menu"] = reader.string_or_ordinal()
        header["class"] = reader.string_or_ordinal()
        header["caption"] = reader.wide_string()
        header["font"] = (reader.u16(), reader.wide_string())
        for key, expected in EXPECTED_DIALOG.items():
            checks.equal(f"dialog {key}", header[key], expected)
        checks.equal("dialog item count", count, len(EXPECTED_ITEMS))

        for index in range(count):
            reader.align(checks, f"dialog item {index + 1}")
            start = reader.offset
            item_style = reader.u32()
            item_exstyle = reader.u32()
            rect = (reader.i16(), reader.i16(), reader.i16(), reader.i16())
            item_id = reader.u16()
            class_field = data[reader.offset:reader.offset + 2]
            window_class = reader.string_or_ordinal()
            text = reader.string_or_ordinal()
            creation = reader.u16()
            if index >= len(EXPECTED_ITEMS):
                continue
            want_id, want_class, want_text, want_rect, want_style = EXPECTED_ITEMS[index]
            label = f"dialog item {index + 1} (at {start})"
            checks.equal(f"{label} ID", item_id, want_id)
            checks.equal(f"{label} class", window_class, want_class)
            # Button and Static by class atom (0xFFFF then the atom), the slider by name.
            by_atom = class_field == b"\xff\xff"
            checks.equal(f"{label} class given by atom", by_atom, isinstance(want_class, int))
            checks.equal(f"{label} text", text, want_text)
            checks.equal(f"{label} rectangle", rect, want_rect)
            checks.equal(f"{label} style", hex(item_style), hex(want_style))
            checks.equal(f"{label} extended style", item_exstyle, 0)
            checks.equal(f"{label} creation data", creation, 0)
        checks.equal("dialog template size", len(data), reader.offset)
    except (struct.error, ValueError) as error:
        checks.expect("dialog template parses", False, str(error))


def parse_version_node(data, offset):
    """One VS_VERSIONINFO node: (key, value bytes, value type, children, end)."""
    length, value_length, value_type = struct.unpack_from("<HHH", data, offset)
    end = offset + length
    reader = Reader(data)
    reader.offset = offset + 6
    key = reader.wide_string()
    reader.offset += (-reader.offset) % 4
    # Text values count UTF-16 characters, binary values count bytes.
    value_size = value_length * 2 if value_type == 1 else value_length
    value = data[reader.offset:reader.offset + value_size]
    reader.offset += value_size
    children = []
    while True:
        reader.offset += (-reader.offset) % 4
        if reader.offset >= end:
            break
        child = parse_version_node(data, reader.offset)
        children.append(child)
        reader.offset = child[4]
    return key, value, value_type, children, end


def check_version(checks, resources):
    data = single_resource(checks, resources, RT_VERSION, 1, "version record 1")
    if data is None:
        return
    try:
        key, value, _, children, _ = parse_version_node(data, 0)
    except (struct.error, ValueError) as error:
        checks.expect("version record parses", False, str(error))
        return
    checks.equal("version record key", key, "VS_VERSION_INFO")
    if not checks.equal("fixed file info size", len(value), 52):
        return
    fixed = struct.unpack("<13I", value)
    checks.equal("fixed file info signature", hex(fixed[0]), hex(0xFEEF04BD))

    def split(high, low):
        return (high >> 16, high & 0xFFFF, low >> 16, low & 0xFFFF)

    checks.equal("file version", split(fixed[2], fixed[3]), EXPECTED_VERSION_NUMBERS)
    checks.equal("product version", split(fixed[4], fixed[5]), EXPECTED_VERSION_NUMBERS)
    checks.equal("file flags", fixed[7] & fixed[6], 0)
    checks.equal("file OS is Windows NT 32-bit", hex(fixed[8]), hex(0x40004))
    checks.equal("file type is DLL", fixed[9], 2)

    blocks = {child[0]: child for child in children}
    checks.equal("version blocks", sorted(blocks), ["StringFileInfo", "VarFileInfo"])
    if "StringFileInfo" in blocks:
        tables = {table[0]: table for table in blocks["StringFileInfo"][3]}
        checks.equal("string tables", sorted(table.lower() for table in tables), ["080904b0"])
        for table in tables.values():
            strings = {}
            for entry in table[3]:
                text = entry[1].decode("utf-16-le")
                # The stored length counts the terminating zero.
                checks.expect(f"version string {entry[0]} is zero-terminated", text.endswith("\x00"))
                strings[entry[0]] = text.rstrip("\x00")
            checks.equal("version strings", strings, EXPECTED_VERSION_STRINGS)
    if "VarFileInfo" in blocks:
        variables = {var[0]: var[1] for var in blocks["VarFileInfo"][3]}
        checks.equal("translation", variables.get("Translation"), struct.pack("<HH", ENGLISH_UK, 1200))


def check_manifest(checks, resources):
    entries = [key for key in resources if key[0] == RT_MANIFEST]
    checks.equal("manifests", entries, [(RT_MANIFEST, 2)])
    data = single_resource(checks, resources, RT_MANIFEST, 2, "manifest 2", language=None)
    if data is None:
        return
    checks.equal("manifest bytes", data, EXPECTED_MANIFEST)
    try:
        root = ElementTree.fromstring(data)
    except ElementTree.ParseError as error:
        checks.expect("manifest is well-formed", False, str(error))
        return
    checks.equal("manifest root", root.tag, "{urn:schemas-microsoft-com:asm.v1}assembly")
    checks.equal("manifest declares nothing", len(root), 0)


def check_resource_list(checks, resources):
    """Nothing besides the resources above."""
    expected = {("PIPL", 16000), (RT_STRING, 1001), (RT_DIALOG, 16000), (RT_VERSION, 1), (RT_MANIFEST, 2)}
    checks.equal("resource list", sorted(map(str, resources)), sorted(map(str, expected)))


def main(argv):
    require = os.environ.get("MORVELIN_REQUIRE_DLL") == "1"
    if len(argv) != 2:
        print("usage: dll_test.py PATH-TO-Morvelin.aip")
        return 2
    path = argv[1]
    if not os.path.isfile(path):
        print(f"{'FAIL' if require else 'skipped'}: {path} does not exist (build it: scripts/build.sh win)")
        return 1 if require else SKIPPED
    try:
        import pefile
    except ImportError:
        print(f"{'FAIL' if require else 'skipped'}: python3-pefile is not installed")
        return 1 if require else SKIPPED

    try:
        pe = pefile.PE(path)
    except pefile.PEFormatError as error:
        print(f"FAIL {path} is not a PE file: {error}")
        print("0 passed, 1 failed")
        return 1

    checks = Checks()
    check_header(checks, pe)
    check_exports(checks, pe)
    check_imports(checks, pe)
    resources = resource_entries(pe)
    check_resource_list(checks, resources)
    check_pipl(checks, resources)
    check_string_table(checks, resources)
    check_dialog(checks, resources)
    check_version(checks, resources)
    check_manifest(checks, resources)
    print(f"{checks.passed} passed, {checks.failed} failed")
    return 0 if checks.failed == 0 else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
