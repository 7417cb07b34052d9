"""Inputs of about a megabyte that once made tarn-stamp's readers use memory
thousands of times their size: a resource or a name copied at every use.
Used by the end-to-end stamper scenarios (as files given to tarn-stamp) and
by fuzz/make-large-inputs (as regression inputs of the fuzz targets).
"""

import struct

PNG = b"\x89PNG\r\n\x1a\n"


def icon_with_shared_image(entries=20000, image_size=1 << 20):
    image_offset = 6 + 16 * entries
    header = struct.pack("<HHH", 0, 1, entries)
    entry = struct.pack("<BBBBHHII", 32, 32, 0, 0, 1, 32, image_size, image_offset)
    return header + entry * entries + PNG + b"\0" * (image_size - len(PNG))


def section_with_shared_name(types=20000, units=65535):
    """A resource section at RVA 0x1000."""
    root = 16 + 8 * types
    name_offset = root + 48 * types  # after the root, then two tables of one entry per type
    data_entry = name_offset + 2 + 2 * units
    data_entry += -data_entry % 8
    named = 0x80000000 | name_offset
    out = bytearray(struct.pack("<IIIHH", 0, 0, 0, 0, types))
    for i in range(types):
        out += struct.pack("<II", i + 1, 0x80000000 | (root + 48 * i))
    for i in range(types):
        table = root + 48 * i
        out += struct.pack("<IIIHHII", 0, 0, 0, 1, 0, named, 0x80000000 | (table + 24))  # the name
        out += struct.pack("<IIIHHII", 0, 0, 0, 1, 0, named, data_entry)  # the language
    assert len(out) == name_offset
    out += struct.pack("<H", units) + "N".encode("utf-16-le") * units
    out += b"\0" * (data_entry - len(out))
    out += struct.pack("<IIII", 0x1000 + data_entry + 16, 4, 0, 0) + b"data"
    return bytes(out)


def pe_with_shared_section_name(sections=30000, name_length=60000):
    pe = 0x40
    optional = pe + 24
    optional_size = 240
    table = optional + optional_size
    strings = table + 40 * sections
    out = bytearray(strings)
    out[0:2] = b"MZ"
    struct.pack_into("<I", out, 0x3C, pe)
    out[pe:pe + 4] = b"PE\0\0"
    struct.pack_into("<HHIIIHH", out, pe + 4, 0x8664, sections, 0, strings, 0, optional_size, 0x22)
    struct.pack_into("<H", out, optional, 0x20B)
    struct.pack_into("<II", out, optional + 32, 0x1000, 0x200)
    struct.pack_into("<I", out, optional + 108, 16)
    for i in range(sections):
        struct.pack_into("<8s", out, table + 40 * i, b"/4")
    out += struct.pack("<I", 4 + name_length + 1) + b"n" * name_length + b"\0"
    return bytes(out)


def pe_with_resources(section: bytes, rva=0x1000):
    """A minimal PE32+ file whose one section (.rsrc, at rva) holds the bytes."""
    pe = 0x40
    optional = pe + 24
    table = optional + 240
    raw = 0x200
    out = bytearray(raw)
    out[0:2] = b"MZ"
    struct.pack_into("<I", out, 0x3C, pe)
    out[pe:pe + 4] = b"PE\0\0"
    struct.pack_into("<HHIIIHH", out, pe + 4, 0x8664, 1, 0, 0, 0, 240, 0x22)
    struct.pack_into("<H", out, optional, 0x20B)
    struct.pack_into("<II", out, optional + 32, 0x1000, 0x200)
    struct.pack_into("<II", out, optional + 56, rva + len(section) + 0x1000, raw)
    struct.pack_into("<I", out, optional + 108, 16)
    struct.pack_into("<II", out, optional + 112 + 8 * 2, rva, len(section))
    size = len(section) + (-len(section) % 0x200)
    struct.pack_into("<8sIIIII", out, table, b".rsrc", len(section), rva, size, raw, 0)
    struct.pack_into("<I", out, table + 36, 0x40000040)
    return bytes(out) + section + b"\0" * (size - len(section))
