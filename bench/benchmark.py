#!/usr/bin/env python3
"""Times the three converters on synthetic surveys against a copying floor.

    benchmark.py [--bin DIR] [--networks N] [--points P] [--runs R]
                 [--work DIR] [--only PROGRAM] [--markdown]
    benchmark.py --check [--bin DIR] [--work DIR]

For every program and mode the survey of the given size (and one twice as
large, for the scaling ratio) is converted R times. The floor is `cat` of the
same input files into one file, timed the same way, so that the ratio holds
on any machine. Peak memory is the operating system's maximum resident set
of the run. The console share is how much slower a run is with its standard
output on a terminal than with it on /dev/null.

--check converts a small survey the same way and compares every output file
byte for byte with what the survey must give, computed here from the
generator's values and the formats alone.
"""
import argparse
import os
import pty
import re
import statistics
import subprocess
import sys
import threading
import time

TIME = "/usr/bin/time"  # GNU time, for the peak resident set
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(HERE, "..", "tests", "tools"))

import gen_survey  # noqa: E402


def configurations():
    """(program, mode, arguments, inputs, outputs) of every measured run."""
    runs = [("siftel", "split", ["survey-wiscan.txt", "all.txt", "nogps.txt"],
             ["survey-wiscan.txt"], ["all.txt", "nogps.txt"]),
            ("corvane", "csv+gps", ["survey.csv", "survey.gps", "out.ns1"],
             ["survey.csv", "survey.gps"], ["out.ns1"])]
    for kind in ("csv", "xml", "network"):
        for mode in ("X", "T", "S"):
            log = "survey." + kind
            runs.append(("brantle", "-kw%s %s+gps" % (mode, kind),
                         ["-kw" + mode, log, "-g=survey.gps", "out.txt"],
                         [log, "survey.gps"], ["out.txt"]))
    return runs


def survey(work, networks, points):
    """The folder of a generated survey, made once per size."""
    folder = os.path.join(work, "survey-%d-%d" % (networks, points))
    if not os.path.exists(os.path.join(folder, "done")):
        gen_survey.main(folder, networks, points)
        open(os.path.join(folder, "done"), "w").close()
    return folder


def run_once(command, cwd, console):
    """Seconds, peak resident kilobytes and exit status of one run.

    The peak comes from GNU time, whose own small child becomes the program:
    a child forked from this Python process would count Python's memory."""
    reader = None
    if console == "tty":
        master, slave = pty.openpty()
        out = slave

        def drain():
            try:
                while os.read(master, 1 << 16):
                    pass
            except OSError:
                pass

        reader = threading.Thread(target=drain)
        reader.start()
    elif console == "null":
        out = os.open(os.devnull, os.O_WRONLY)
    else:
        out = os.open(os.path.join(cwd, console),
                      os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o644)
    peak_file = os.path.join(cwd, "peak.txt")
    start = time.perf_counter()
    status = subprocess.call([TIME, "-f", "%M", "-o", peak_file] + command,
                             cwd=cwd, stdin=subprocess.DEVNULL, stdout=out,
                             stderr=subprocess.DEVNULL)
    seconds = time.perf_counter() - start
    os.close(out)
    if reader:
        reader.join()
        os.close(master)
    with open(peak_file) as peak:
        kilobytes = int(peak.read().split()[-1])
    return seconds, kilobytes, status


def timed(command, cwd, runs, console):
    results = [run_once(command, cwd, console) for _ in range(runs)]
    failed = [r[2] for r in results if r[2] != 0]
    if failed:
        sys.exit("%s exited with %d" % (" ".join(command), failed[0]))
    return (statistics.median(r[0] for r in results),
            max(r[1] for r in results))


def size_of(folder, names):
    return sum(os.path.getsize(os.path.join(folder, n)) for n in names)


def measure(bin_dir, folder, config, runs, console="console.out"):
    program, _, args, inputs, outputs = config
    command = [os.path.join(bin_dir, program)] + args
    seconds, peak = timed(command, folder, runs, console)
    floor, _ = timed(["sh", "-c", "cat %s > floor.out" % " ".join(inputs)],
                     folder, runs, "null")
    return {"seconds": seconds, "peak": peak, "floor": floor,
            "input": size_of(folder, inputs), "output": size_of(folder, outputs)}


def benchmark(options):
    small = survey(options.work, options.networks, options.points)
    large = survey(options.work, 2 * options.networks, 2 * options.points)
    rows = []
    for config in configurations():
        if options.only and config[0] != options.only:
            continue
        n = measure(options.bin, small, config, options.runs)
        twice = measure(options.bin, large, config, options.runs)
        command = [os.path.join(options.bin, config[0])] + config[2]
        on_tty, _ = timed(command, small, options.runs, "tty")
        on_null, _ = timed(command, small, options.runs, "null")
        mb = n["input"] / 1e6
        rows.append([config[0], config[1], "%.1f" % mb,
                     "%.1f" % (n["output"] / 1e6), "%.2f" % n["seconds"],
                     "%.0f" % (mb / n["seconds"]),
                     "%.1f" % (n["seconds"] / n["floor"]),
                     "%.2f" % (twice["seconds"] / n["seconds"]),
                     "%.1f" % (n["peak"] / 1024),
                     "%.1f" % (twice["peak"] / 1024),
                     "%.2f" % (n["peak"] * 1024 / n["input"]),
                     "%.0f %%" % max(0.0, 100 * (on_tty - on_null) / on_tty)])
        print("  measured %s %s" % (config[0], config[1]), file=sys.stderr)
    header = ["program", "mode", "input MB", "output MB", "median s", "MB/s",
              "x floor", "2n/n", "peak MB", "peak 2n MB", "peak/input",
              "console"]
    print("%d networks, %d track points; %d runs each, median" %
          (options.networks, options.points, options.runs))
    if options.markdown:
        print("| " + " | ".join(header) + " |")
        print("|" + "---|" * len(header))
        for row in rows:
            print("| " + " | ".join(row) + " |")
    else:
        widths = [max(len(r[i]) for r in rows + [header])
                  for i in range(len(header))]
        for row in [header] + rows:
            print("  ".join(c.rjust(w) for c, w in zip(row, widths)))


# --- the outputs a generated survey must give ------------------------------

def coordinate_text(magnitude):
    """A coordinate column: ten significant digits padded to ten characters,
    or fixed notation with ten digits where the short form has no point or
    an exponent."""
    short = "%.10g" % magnitude
    if "." not in short or "e" in short:
        whole = "%.0f" % magnitude
        decimals = max(1, 9 - sum(c.isdigit() for c in whole))
        return "%.*f" % (decimals, magnitude)
    return short.ljust(10, "0")


def wiscan_line(mode, lat, lon, network, signal, noise):
    kind = network["type"]
    flags = (1 if kind == "infrastructure" else 2 + (8 if kind == "probe" else 0))
    flags += 16 if network["wep"] == "Yes" else 0
    line = "%s %s\t%s %s\t( %s )\t%s\t ( %s )\t%s (GMT)\t[ %d %d %d ]" % (
        "S" if lat < 0 else "N", coordinate_text(abs(lat)),
        "W" if lon < 0 else "E", coordinate_text(abs(lon)),
        network["ssid"], "BBS" if kind == "infrastructure" else "ad-hoc",
        network["bssid"].lower(), network["time"], signal - noise, signal,
        noise)
    if mode == "X":
        return line + "\n"
    line += "\t# (  )\t%04x\t%04x\t100" % (flags, 1 << network["channel"])
    return line + ("\r\n" if mode == "T" else "\n")


def expected_wiscan(mode, kind, networks, track):
    end = "\r\n" if mode == "T" else "\n"
    text = ["# $Creator: Network Stumbler Version 0.3.30\n"]
    text.append({"X": "# $Format: wi-scan",
                 "T": "# $Format: wi-scan with extensions",
                 "S": "# $Format: wi-scan summary with extensions"}[mode] + end)
    columns = ("# Latitude\tLongitude\t( SSID )\tType\t( BSSID )\tTime (GMT)"
               "\t[ SNR Sig Noise ]")
    if mode != "X":
        columns += "\t# ( Name )\tFlags\tChannelbits\tBcnIntvl"
    text.append(columns + end)
    text.append("# $DateGMT: %s%s" % (time.strftime(
        "%Y-%m-%d", time.gmtime(gen_survey.START)), end))
    for network in networks:
        points = track.get(network["bssid"], [])
        if kind == "csv":
            signal, noise = 70, 45  # the log's own best signal and noise
        elif points:
            signal, noise = points[0][2], points[0][3]
        else:
            signal, noise = 0, 0
        lat = (network["minLat"] + network["maxLat"]) / 2.0
        lon = (network["minLon"] + network["maxLon"]) / 2.0
        text.append(wiscan_line(mode, lat, lon, network, signal, noise))
        if mode != "S":
            for (plat, plon, psignal, pnoise) in points:
                text.append(wiscan_line(mode, plat, plon, network, psignal,
                                        pnoise))
    return "".join(text).encode()


def read_track(folder):
    """The generated track's points by BSSID, in file order."""
    track = {}
    with open(os.path.join(folder, "survey.gps")) as gps:
        for line in gps:
            if "<gps-point" not in line:
                continue
            values = dict(re.findall(r'([a-z-]+)="([^"]*)"', line))
            track.setdefault(values["bssid"], []).append(
                (float(values["lat"]), float(values["lon"]),
                 int(values["signal"]), int(values["noise"])))
    return track


def expected_split(folder):
    lines = open(os.path.join(folder, "survey-wiscan.txt"), "rb").read()
    lines = lines.split(b"\n")[:-1]
    return {"all.txt": b"".join(l + b"\n" for l in lines
                                if b"N 0.0000000" not in l),
            "nogps.txt": b"".join(l + b"\n" for l in lines
                                  if b"0.0000000" in l)}


def check(options):
    import ns1_expected
    folder = survey(options.work, 300, 3000)
    networks = gen_survey.networks_as_read(300)
    track = read_track(folder)
    failures = 0
    for config in configurations():
        program, mode, args, _, outputs = config
        for name in outputs:
            path = os.path.join(folder, name)
            if os.path.exists(path):
                os.remove(path)
        command = [os.path.join(options.bin, program)] + args
        _, _, status = run_once(command, folder, "console.out")
        if program == "siftel":
            expected = expected_split(folder)
        elif program == "corvane":
            ns1_expected.main(os.path.join(folder, "survey.csv"),
                              os.path.join(folder, "survey.gps"),
                              os.path.join(folder, "expected.ns1"))
            expected = {"out.ns1": open(os.path.join(folder, "expected.ns1"),
                                        "rb").read()}
        else:
            kind = args[1].split(".")[1]
            expected = {"out.txt": expected_wiscan(args[0][-1], kind,
                                                   networks, track)}
        problems = ["exit status %d" % status] if status else []
        for name, content in expected.items():
            written = open(os.path.join(folder, name), "rb").read()
            if written != content:
                problems.append("%s differs (%d bytes, %d expected)" %
                                (name, len(written), len(content)))
        print("%-8s %-18s %s" % (program, mode,
                                 "; ".join(problems) if problems else "ok"))
        failures += bool(problems)
    return 1 if failures else 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--bin", default=os.path.join(HERE, "..", "build",
                                                      "bin"))
    parser.add_argument("--networks", type=int, default=100000)
    parser.add_argument("--points", type=int, default=1000000)
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--work", default=os.path.join(HERE, "..", "build",
                                                       "bench"))
    parser.add_argument("--only", choices=["brantle", "corvane", "siftel"])
    parser.add_argument("--markdown", action="store_true")
    parser.add_argument("--check", action="store_true")
    options = parser.parse_args()
    options.bin = os.path.abspath(options.bin)
    os.makedirs(options.work, exist_ok=True)
    if options.check:
        return check(options)
    benchmark(options)
    return 0


if __name__ == "__main__":
    sys.exit(main())
