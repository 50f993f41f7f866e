#!/usr/bin/env python3
"""Writes the Windows expectations of the whole-run cases of all three programs.

    python3 windows_expected.py tests/cli

The Windows build differs from the others in three ways only, and each file
<name>.windows is made from <name> by them, where they change anything:
- the banner names the platform "windows";
- argv[0] is the full Windows path of the .exe (@ARGV0@ in the usage line);
- the console and siftel's files are in text mode: reading turns CR LF into
  LF, writing turns LF into CR LF. corvane's NS1 file and brantle's wi-scan
  files are written in binary mode.
"""
import os
import sys


def text_mode(data):
    return data.replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")


def console(data, program):
    data = data.replace(b"Module (linux)", b"Module (windows)")
    data = data.replace(b"Usage: ./%s " % program.encode(), b"Usage: @ARGV0@ ")
    return data.replace(b"\n", b"\r\n")


def write_variant(path, data):
    variant = path + ".windows"
    with open(path, "rb") as f:
        same = f.read() == data
    if same:
        if os.path.exists(variant):
            os.remove(variant)
        return
    with open(variant, "wb") as f:
        f.write(data)


def main(cli):
    for program in ("siftel", "corvane", "brantle"):
        for case in sorted(os.listdir(os.path.join(cli, program))):
            expected = os.path.join(cli, program, case, "expected")
            for name in sorted(os.listdir(expected)):
                path = os.path.join(expected, name)
                if name.endswith((".linux", ".macos", ".freebsd", ".windows")):
                    continue
                if name == "status" or os.path.isdir(path):
                    continue
                with open(path, "rb") as f:
                    data = f.read()
                if name == "stdout":
                    write_variant(path, console(data, program))
                elif program == "siftel":
                    write_variant(path, text_mode(data))


if __name__ == "__main__":
    main(sys.argv[1])
