#!/usr/bin/env python3
"""Writes the release zip of a built Windows tree, byte for byte the same for the
same inputs: a fixed file order, one fixed time stamp, fixed permissions, no
extra fields, the same compression.

    tools/make-release-zip.py --source ROOT --version V --out ZIP PROGRAM.exe...

The zip holds one folder, script-player-V/, with the programs given (player.exe
and pack.exe must be among them; packaging/CMakeLists.txt adds spy.exe and
record.exe when the build has them), README.txt for Windows users (made
from packaging/README.txt: UTF-8 with a byte-order mark and CR LF, so that
Notepad shows it), LICENSE.txt, the guide and the command reference in
English and Chinese (docs/guide.md, docs/guide.zh.md with their pictures,
docs/commands.md, docs/commands.zh.md), and the examples. A line of packaging/README.txt that starts with "[NAME.exe]" is kept
without the mark (what follows it stays as it is) only when the zip holds NAME.exe.
"""

import argparse
import hashlib
import os
import sys
import zipfile

# 2026-01-01 00:00:00, local time as zip stores it.
FIXED_TIME = (2026, 1, 1, 0, 0, 0)
# The programs in this order; any others after them, by name.
PROGRAM_ORDER = ["player.exe", "pack.exe", "spy.exe", "record.exe", "studio.exe"]
REQUIRED_PROGRAMS = ["player.exe", "pack.exe"]


def crlf(text: bytes) -> bytes:
    return text.replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")


def readme_for(template: bytes, version: str, programs) -> bytes:
    lines = []
    for line in template.replace(b"@VERSION@", version.encode("ascii")).split(b"\n"):
        if line.startswith(b"["):
            mark, _, rest = line[1:].partition(b"]")
            if mark.decode("ascii") not in programs:
                continue
            line = rest
        lines.append(line)
    return b"\xef\xbb\xbf" + crlf(b"\n".join(lines))


def read(path: str) -> bytes:
    with open(path, "rb") as file:
        return file.read()


def program_rank(path: str):
    name = os.path.basename(path)
    return (PROGRAM_ORDER.index(name) if name in PROGRAM_ORDER else len(PROGRAM_ORDER), name)


def entries(source: str, version: str, programs):
    """(name in the zip, bytes, executable) in the order they are written."""
    listed = []
    for path in sorted(programs, key=program_rank):
        listed.append((os.path.basename(path), read(path), True))
    names = [name for name, _, _ in listed]
    for name in REQUIRED_PROGRAMS:
        if name not in names:
            sys.exit(f"make-release-zip: {name} is not among the programs given")
    if len(set(names)) != len(names):
        sys.exit(f"make-release-zip: a program is given twice: {names}")
    template = read(os.path.join(source, "packaging", "README.txt"))
    listed.append(("README.txt", readme_for(template, version, names), False))
    listed.append(("LICENSE.txt", crlf(read(os.path.join(source, "LICENSE"))), False))
    docs = os.path.join(source, "docs")
    for doc in ("guide.md", "guide.zh.md", "commands.md", "commands.zh.md"):
        listed.append(("docs/" + doc, read(os.path.join(docs, doc)), False))
    # The pictures the guides show.
    for name in sorted(os.listdir(docs)):
        if name.endswith(".png"):
            listed.append(("docs/" + name, read(os.path.join(docs, name)), False))
    examples = os.path.join(source, "examples")
    for name in sorted(os.listdir(examples)):
        if name.endswith(".txt"):
            listed.append(("examples/" + name, read(os.path.join(examples, name)), False))
    return listed


def write_zip(path: str, folder: str, listed) -> None:
    temporary = path + ".part"
    with zipfile.ZipFile(temporary, "w") as archive:
        for name, data, executable in listed:
            info = zipfile.ZipInfo(folder + "/" + name, date_time=FIXED_TIME)
            info.create_system = 3  # Unix, so that the permissions below count
            info.external_attr = (0o100755 if executable else 0o100644) << 16
            info.compress_type = zipfile.ZIP_DEFLATED
            archive.writestr(info, data, compresslevel=9)
    os.replace(temporary, path)


def main() -> None:
    parser = argparse.ArgumentParser()
    parser.add_argument("--source", required=True)
    parser.add_argument("--version", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("programs", nargs="+")
    arguments = parser.parse_args()

    listed = entries(arguments.source, arguments.version, arguments.programs)
    os.makedirs(os.path.dirname(os.path.abspath(arguments.out)), exist_ok=True)
    write_zip(arguments.out, "script-player-" + arguments.version, listed)
    digest = hashlib.sha256(read(arguments.out)).hexdigest()
    with open(arguments.out + ".sha256", "w", newline="\n") as file:
        file.write(f"{digest}  {os.path.basename(arguments.out)}\n")


if __name__ == "__main__":
    main()
