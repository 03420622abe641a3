#!/usr/bin/env python3
"""Makes the LHA benchmark archive: about 200 MB packed -lh5- (310 MB unpacked), from 12
text-like files and 19 binary-like files of 10 MB each.

Needs jlha (Debian package jlha-utils, Java), the only LHA writer packaged for Debian. The
archive is not kept in the project; make it once, then pass it to lha_bench.

Usage: make_lha_bench_archive.py <archive.lzh>
"""

import os
import random
import subprocess
import sys
import tempfile

TEXT_FILES = 12
BINARY_FILES = 19
FILE_BYTES = 10 * 1000 * 1000

WORDS = ("mail archive folder attachment message subject sender reply fortune address "
         "book history record server account colour picture window button editor guard "
         "extract compress header level method table tree code bit byte block").split()


def text_like(rng, size):
    # Words of a small vocabulary with numbers mixed in: packs to roughly a third, like
    # documents and logs, so the decoder does real work on every block.
    parts = []
    length = 0
    while length < size:
        line = " ".join(rng.choice(WORDS) if rng.random() < 0.8 else str(rng.randrange(100000))
                        for _ in range(rng.randrange(4, 16))) + "\n"
        parts.append(line)
        length += len(line)
    return "".join(parts).encode()[:size]


def binary_like(rng, size):
    # Bytes below 128 at random: packs to about 88%, the decoder's literal-heavy case.
    return rng.randbytes(size).translate(bytes(i & 0x7F for i in range(256)))


def main():
    if len(sys.argv) != 2:
        raise SystemExit(__doc__)
    target = os.path.abspath(sys.argv[1])
    if os.path.exists(target):
        os.remove(target)
    rng = random.Random(20261208)
    with tempfile.TemporaryDirectory() as work:
        os.makedirs(os.path.join(work, "data"))
        names = []
        kinds = [("txt", text_like)] * TEXT_FILES + [("bin", binary_like)] * BINARY_FILES
        for i, (suffix, make) in enumerate(kinds):
            name = os.path.join("data", f"part{i:02}.{suffix}")
            with open(os.path.join(work, name), "wb") as f:
                f.write(make(rng, FILE_BYTES))
            names.append(name)
        subprocess.run(["jlha", "c2", target] + names, cwd=work, check=True,
                       stdout=subprocess.DEVNULL)


if __name__ == "__main__":
    main()
