#!/usr/bin/env python3
"""Writes the LHA archives that the extractor tests read, into archives/ beside this script.

Stored (-lh0-) archives are written here byte by byte, so that header levels 0, 1 and 2,
Shift_JIS names and hostile names can be made exactly. Compressed (-lh5-) archives come
from jlha (Debian package jlha-utils, Java), the only LHA writer packaged for Debian; it is
needed only to run this script, never to build or test.

Usage: make_test_archives.py
"""

import io
import os
import shutil
import subprocess
import tarfile
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "archives")

# 2001-02-03 04:05:06, as MS-DOS time (level 0 and 1) and as Unix time (level 2).
DOS_TIME = ((2001 - 1980) << 25) | (2 << 21) | (3 << 16) | (4 << 11) | (5 << 5) | (6 // 2)
UNIX_TIME = 981173106

S_IFREG = 0o100000
S_IFDIR = 0o040000
S_IFLNK = 0o120000


def crc16(data, crc=0):
    """CRC-16 as LHA computes it (polynomial 0xA001, reflected, initial 0)."""
    for byte in data:
        crc ^= byte
        for _ in range(8):
            crc = (crc >> 1) ^ 0xA001 if crc & 1 else crc >> 1
    return crc


def le16(value):
    return value.to_bytes(2, "little")


def le32(value):
    return value.to_bytes(4, "little")


class Entry:
    """One member: `name` is the raw name bytes, backslash-separated for levels 0 and 1."""

    def __init__(self, name, data=b"", method=b"-lh0-", mode=None, packed=None):
        self.name = name
        self.data = data
        self.method = method
        self.mode = mode
        self.packed = data if packed is None else packed


def level0(entry):
    body = (entry.method + le32(len(entry.packed)) + le32(len(entry.data)) + le32(DOS_TIME)
            + b"\x20\x00" + bytes([len(entry.name)]) + entry.name + le16(crc16(entry.data)))
    return bytes([len(body), sum(body) & 0xFF]) + body + entry.packed


def level1(entry):
    # The folder goes into a directory extension header (0xFF-separated), the file name
    # into the fixed part, as LHA for Windows writes it.
    folder, _, name = entry.name.rpartition(b"\\")
    extensions = b""
    if folder:
        ext = b"\x02" + folder.replace(b"\\", b"\xff") + b"\xff"
        extensions += ext
    ext_sizes = []
    if folder:
        ext_sizes.append(len(ext) + 2)
    skip = len(entry.packed) + sum(ext_sizes)
    first_ext = ext_sizes[0] if ext_sizes else 0
    body = (entry.method + le32(skip) + le32(len(entry.data)) + le32(DOS_TIME) + b"\x20\x01"
            + bytes([len(name)]) + name + le16(crc16(entry.data)) + b"M" + le16(first_ext))
    header = bytes([len(body), sum(body) & 0xFF]) + body
    if folder:
        header += ext + le16(0)
    return header + entry.packed


def level2(entry, codepage=None):
    folder, _, name = entry.name.rpartition(b"\\")
    # The header CRC comes first; its value is filled in once the header is complete.
    extensions = [b"\x00" + le16(0), b"\x01" + name]
    if folder:
        extensions.append(b"\x02" + folder.replace(b"\\", b"\xff") + b"\xff")
    if entry.mode is not None:
        extensions.append(b"\x50" + le16(entry.mode))
    if codepage is not None:
        extensions.append(b"\x46" + le32(codepage))
    ext_bytes = b""
    for ext in extensions:
        ext_bytes += le16(len(ext) + 2) + ext
    ext_bytes += le16(0)
    # The first size lives in the fixed part: shift so each size precedes its header.
    first_size, rest = ext_bytes[:2], ext_bytes[2:]
    fixed_len = 24 + 2
    total = fixed_len + len(rest)
    header = (le16(total) + entry.method + le32(len(entry.packed)) + le32(len(entry.data))
              + le32(UNIX_TIME) + b"\x20\x02" + le16(crc16(entry.data)) + b"U" + first_size
              + rest)
    crc_at = 26 + 1
    header = header[:crc_at] + le16(crc16(header)) + header[crc_at + 2:]
    return header + entry.packed


def archive(entries, writer=level2, **options):
    return b"".join(writer(e, **options) for e in entries) + b"\x00"


def write(name, data):
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(data)


HELLO = b"hello from the archive\r\n"
INNER = b"inner file\r\n"


def stored_archives():
    tree = [Entry(b"readme.txt", HELLO), Entry(b"sub\\deeper\\inner.txt", INNER)]
    write("stored_level0.lzh", archive(tree, level0))
    write("stored_level1.lzh", archive(tree, level1))
    write("stored_level2.lzh", archive(
        [Entry(b"empty\\", method=b"-lhd-", mode=S_IFDIR | 0o755)] + tree))

    # Shift_JIS names, no code page header: "漢字.txt" and "表\ソ.txt" (both 表 and ソ end in
    # the byte 0x5C, which must not be read as a separator).
    sjis = [Entry("漢字.txt".encode("cp932"), "漢字かな".encode("cp932")),
            Entry("表\\ソ.txt".encode("cp932"), b"so")]
    write("sjis_names.lzh", archive(sjis))
    write("sjis_names_level0.lzh", archive(sjis, level0))

    write("empty.lzh", b"\x00")
    write("not_an_archive.lzh", b"This is a plain text file, not an LHA archive.\r\n" * 4)

    tar_bytes = io.BytesIO()
    with tarfile.open(fileobj=tar_bytes, mode="w") as tar:
        info = tarfile.TarInfo("from_tar.txt")
        info.size = len(HELLO)
        tar.addfile(info, io.BytesIO(HELLO))
    write("tar_named.lzh", tar_bytes.getvalue())

    good = archive(tree)
    # A stored byte changed: the data no longer matches its CRC.
    bad = bytearray(good)
    bad[good.index(HELLO) + 3] ^= 0x20
    write("crc_error.lzh", bytes(bad))
    # Cut inside the second entry's data.
    write("truncated_data.lzh", good[:good.index(INNER) + 4])
    # Cut inside the first header.
    write("truncated_header.lzh", good[:12])

    # A method this reader does not decode (-lh1-, LHarc 1.x).
    write("unsupported_method.lzh",
          archive([Entry(b"old.txt", HELLO, method=b"-lh1-", packed=b"\x12\x34\x56\x78")]))


def hostile_archives():
    safe = Entry(b"safe.txt", HELLO)
    hostile = {
        "hostile_parent.lzh": [safe, Entry(b"..\\escaped.txt", b"x")],
        "hostile_parent_slash.lzh": [safe, Entry(b"sub/../../escaped.txt", b"x")],
        "hostile_absolute.lzh": [safe, Entry(b"/tmp/arcopen-absolute-escape.txt", b"x")],
        "hostile_drive.lzh": [safe, Entry(b"C:\\escaped.txt", b"x")],
        "hostile_drive_relative.lzh": [safe, Entry(b"C:escaped.txt", b"x")],
    }
    for name, entries in hostile.items():
        write(name, archive(entries, level0))
    # A link to the outside, then a file through it: the link is never made, so the file
    # would land in a real folder named "outside"; the link alone must not be written.
    link = Entry(b"outside|/tmp", mode=S_IFLNK | 0o777)
    write("hostile_link.lzh", archive([link, Entry(b"outside\\escaped.txt", b"x")]))


def jlha(arguments, cwd):
    subprocess.run(["jlha"] + arguments, cwd=cwd, check=True, stdout=subprocess.DEVNULL)


def compressed_archives():
    if shutil.which("jlha") is None:
        raise SystemExit("jlha (package jlha-utils) is needed for the compressed archives")
    with tempfile.TemporaryDirectory() as work:
        os.makedirs(os.path.join(work, "docs", "notes"))
        text = "".join(f"line {i}: the quick brown fox jumps over the lazy dog\n"
                       for i in range(400))
        with open(os.path.join(work, "story.txt"), "w") as f:
            f.write(text)
        with open(os.path.join(work, "docs", "notes", "todo.txt"), "w") as f:
            f.write("buy milk\n" * 50)
        for level in "012":
            target = os.path.join(OUT, f"lh5_level{level}.lzh")
            if os.path.exists(target):
                os.remove(target)
            jlha([f"c{level}", target, "story.txt", "docs/notes/todo.txt"], work)


def main():
    os.makedirs(OUT, exist_ok=True)
    stored_archives()
    hostile_archives()
    compressed_archives()


if __name__ == "__main__":
    main()
