#!/usr/bin/env python3
"""Runs a program on damaged copies of the example survey.

    damage.py --bin DIR --examples DIR --work DIR [--coarse N] PROGRAM [KIND]

PROGRAM is siftel, corvane or brantle; KIND, for brantle, is csv, xml or
network. Each run gets a fresh folder with the inputs, must end within a
bound, must not die of a signal, must end with the status the rules give and
must leave every input as it was. Where a file is cut short, every record
that lies whole before the cut must still be converted.

The damage: every prefix of each input (at a stride that keeps the count of
runs near 400 a file), single bytes changed to 0x00, 0xFF, ';', '"', '<' and
'\\n' (at a stride, about 100 positions a file), CR LF line ends, random
bytes, an empty file, a directory in place of a file, a path that does not
exist, an output in a folder that does not exist, and an output that names
an input under another spelling.

--coarse N takes every Nth prefix and every Nth position of those strides,
with every kind of damage still at each position: the sanitizer build, whose
runs take many times longer, checks the same kinds of damage on a fixed
sample of them.
"""
import argparse
import os
import random
import re
import shutil
import subprocess
import sys

BOUND = 20  # seconds a run may take: a safety net against hangs, not a goal
CHANGES = [b"\x00", b"\xff", b";", b'"', b"<", b"\n"]


class Checker:
    def __init__(self, options):
        self.options = options
        self.program = os.path.join(os.path.abspath(options.bin),
                                    options.program)
        self.runs = 0
        self.failures = []

    def run(self, what, files, args, statuses, stdin=b""):
        """Runs the program on \\p files (name -> bytes, or None for a
        directory) and returns (status, stdout)."""
        self.runs += 1
        folder = os.path.join(self.options.work, "run")
        shutil.rmtree(folder, ignore_errors=True)
        os.makedirs(folder)
        for name, data in files.items():
            path = os.path.join(folder, name)
            if data is None:
                os.makedirs(path)
            else:
                with open(path, "wb") as f:
                    f.write(data)
        try:
            done = subprocess.run([self.program] + args, cwd=folder,
                                  input=stdin, stdout=subprocess.PIPE,
                                  stderr=subprocess.PIPE, timeout=BOUND)
        except subprocess.TimeoutExpired:
            self.fail(what, "did not end within %d s" % BOUND)
            return None, b""
        if done.returncode < 0:
            self.fail(what, "killed by signal %d" % -done.returncode)
        elif done.returncode not in statuses:
            self.fail(what, "exit status %d, expected %s" %
                      (done.returncode, statuses))
        if done.stderr:
            self.fail(what, "standard error: %r" % done.stderr[:200])
        for name, data in files.items():
            path = os.path.join(folder, name)
            if data is not None and open(path, "rb").read() != data:
                self.fail(what, "input %s changed" % name)
        self.folder = folder
        return done.returncode, done.stdout

    def fail(self, what, problem):
        self.failures.append("%s: %s" % (what, problem))


def read(examples, name):
    with open(os.path.join(examples, name), "rb") as f:
        return f.read()


COARSE = 1  # the --coarse factor


def prefixes(data):
    stride = max(1, len(data) // 400) * COARSE
    return range(0, len(data), stride)


def positions(data):
    stride = max(1, len(data) // 100) * COARSE
    return range(0, len(data), stride)


def converted(stdout):
    found = re.search(rb"----- (\d+) NETWORKS SUCCESSFULLY CONVERTED", stdout)
    return int(found.group(1)) if found else 0


def whole_records(kind, data):
    """How many records of the log lie whole in \\p data, or None where the
    log's opening is cut and nothing can be asked."""
    if kind == "csv":
        if b"\n" not in data:
            return None
        return data.count(b"\n") - 1  # the header line is no record
    if kind == "xml":
        if not re.search(rb"<detection-run[^\n]*\n", data):
            return None
        return data.count(b"</wireless-network>")
    return len(re.findall(rb"Max Loc:[^\n]*\n", data))


def damaged(log):
    """(what, bytes) of every damaged copy of a log or track."""
    for cut in prefixes(log):
        yield "prefix %d" % cut, log[:cut], cut
    for at in positions(log):
        for byte in CHANGES:
            if log[at:at + 1] != byte:
                yield ("byte %d to %r" % (at, byte),
                       log[:at] + byte + log[at + 1:], None)


def common_cases(check, names, make_args, ok, error):
    """The cases that every program shares: line ends, random bytes, an
    empty file, a directory, a missing path, a missing output folder and an
    output that is an input under another spelling."""
    files = {n: read(check.options.examples, n) for n in names}
    crlf = {n: d.replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")
            for n, d in files.items()}
    check.run("CR LF line ends", crlf, make_args(names, "out"), ok)
    rnd = random.Random(7)
    for name in names:
        noise = dict(files)
        noise[name] = bytes(rnd.randrange(256) for _ in range(4096))
        check.run("random bytes in %s" % name, noise, make_args(names, "out"),
                  ok + error)
        empty = dict(files)
        empty[name] = b""
        check.run("empty %s" % name, empty, make_args(names, "out"),
                  ok + error)
        folder = dict(files)
        folder[name] = None
        check.run("directory as %s" % name, folder, make_args(names, "out"),
                  error)
        missing = dict(files)
        del missing[name]
        check.run("missing %s" % name, missing, make_args(names, "out"), error)
    check.run("output folder missing", files,
              make_args(names, "no-such-folder/out"), error)
    for name in names:
        check.run("output is %s spelled ./" % name, files,
                  make_args(names, "./" + name), error)


def check_siftel(check):
    wiscan = read(check.options.examples, "survey-wiscan.txt")

    def args(names, out):
        return [names[0], out, out + ".none"]

    for what, data, _ in damaged(wiscan):
        status, _ = check.run(what, {"in.txt": data},
                              ["in.txt", "all.txt", "none.txt"], [0])
        if status != 0:
            continue
        lines = data.split(b"\n")
        if lines and lines[-1] == b"":
            lines.pop()
        want_all = b"".join(l + b"\n" for l in lines
                            if b"N 0.0000000" not in l)
        want_none = b"".join(l + b"\n" for l in lines if b"0.0000000" in l)
        got_all = open(os.path.join(check.folder, "all.txt"), "rb").read()
        got_none = open(os.path.join(check.folder, "none.txt"), "rb").read()
        if got_all != want_all or got_none != want_none:
            check.fail(what, "lines lost or misplaced")
    common_cases(check, ["survey-wiscan.txt"], args, [0], [1])


def check_corvane(check):
    csv = read(check.options.examples, "survey.csv")
    gps = read(check.options.examples, "survey.gps")

    def args(names, out):
        return names + [out]

    full = whole_records("csv", csv)
    for what, data, cut in damaged(csv):
        status, stdout = check.run("log " + what,
                                   {"survey.csv": data, "survey.gps": gps},
                                   ["survey.csv", "survey.gps", "out.ns1"],
                                   [0, 1])
        whole = whole_records("csv", data) if cut is not None else None
        found = re.search(rb"Found (\d+) APs", stdout)
        if whole and (status != 0 or not found or int(found.group(1)) < whole):
            check.fail("log " + what, "records before the cut lost")
    for what, data, _ in damaged(gps):
        status, stdout = check.run("track " + what,
                                   {"survey.csv": csv, "survey.gps": data},
                                   ["survey.csv", "survey.gps", "out.ns1"],
                                   [0, 1])
        found = re.search(rb"Found (\d+) APs", stdout)
        if status != 0 or not found or int(found.group(1)) != full:
            check.fail("track " + what, "networks lost")
    common_cases(check, ["survey.csv", "survey.gps"], args, [0], [1])


def check_brantle(check, kind):
    log_name = "survey." + kind
    log = read(check.options.examples, log_name)
    gps = read(check.options.examples, "survey.gps")

    def args(names, out):
        return ["-kwT", names[0], "-g=" + names[1], out]

    full = whole_records(kind, log)
    for what, data, cut in damaged(log):
        _, stdout = check.run("log " + what,
                              {log_name: data, "survey.gps": gps},
                              ["-kwT", log_name, "-g=survey.gps", "out.txt"],
                              [0, 1])
        whole = whole_records(kind, data) if cut is not None else None
        if whole and converted(stdout) < whole:
            check.fail("log " + what, "%d networks converted, %d whole" %
                       (converted(stdout), whole))
    for what, data, _ in damaged(gps):
        _, stdout = check.run("track " + what,
                              {log_name: log, "survey.gps": data},
                              ["-kwT", log_name, "-g=survey.gps", "out.txt"],
                              [0, 1])
        if converted(stdout) != full:
            check.fail("track " + what, "%d networks converted, %d in the log"
                       % (converted(stdout), full))
    common_cases(check, [log_name, "survey.gps"], args, [0], [1])


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin", required=True)
    parser.add_argument("--examples", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--coarse", type=int, default=1)
    parser.add_argument("program", choices=["siftel", "corvane", "brantle"])
    parser.add_argument("kind", nargs="?", choices=["csv", "xml", "network"])
    options = parser.parse_args()
    global COARSE
    COARSE = max(1, options.coarse)
    os.makedirs(options.work, exist_ok=True)
    check = Checker(options)
    if options.program == "siftel":
        check_siftel(check)
    elif options.program == "corvane":
        check_corvane(check)
    else:
        check_brantle(check, options.kind)
    for failure in check.failures[:40]:
        print(failure)
    print("%d runs, %d failures" % (check.runs, len(check.failures)))
    return 1 if check.failures else 0


if __name__ == "__main__":
    sys.exit(main())
