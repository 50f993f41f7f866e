#!/usr/bin/env python3
"""Writes the NS1 file that a Kismet CSV log and .gps track must give.

An encoder written from the NS1 layout alone, for making the expected files of
the whole-run cases: python3 ns1_expected.py survey.csv survey.gps out.ns1.
Times are read as UTC (the cases run with TZ=UTC).
"""
import calendar
import re
import struct
import sys

MONTHS = ["Jan", "Feb", "Mar", "Apr", "May", "Jun",
          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"]


def atoi(text):
    m = re.match(rb"[ \t\n\v\f\r]*([+-]?\d+)", text)
    return int(m.group(1)) if m else 0


def strtod(text):
    m = re.match(rb"[ \t\n\v\f\r]*([+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?)", text)
    return float(m.group(1)) if m else 0.0


def filetime(seconds):
    return seconds * 10000000 + 116444736000000000


def kismet_time(text):
    tokens = text.split()
    month = -1
    if len(tokens) >= 5:
        for i, name in enumerate(MONTHS):
            if name.encode() in tokens[1]:
                month = i
    if month < 0:
        return filetime(-1)
    hms = tokens[3]
    part = lambda at: atoi(hms[at:at + 2]) if at < len(hms) else 0
    return filetime(calendar.timegm((atoi(tokens[4]), month + 1, atoi(tokens[2]),
                                     part(0), part(3), part(6))))


def columns(line):
    cols, start = [], 0
    for _ in range(30):
        end = line.find(b";", start)
        if end < 0:
            cols.append(line[start:])
            start = 0
        else:
            cols.append(line[start:end])
            start = end + 1
    return cols


def track_points(path):
    points = []
    for line in open(path, "rb").read().split(b"\n"):
        attrs = {}
        for m in re.finditer(rb'([^\s"<>/=]*)="', line):
            attrs.setdefault(m.group(1), m.end())
        if b"bssid" not in attrs:
            continue
        cand = line[attrs[b"bssid"]:attrs[b"bssid"] + 17].upper()
        if len(cand) < 15 or any(cand[i:i + 1] != b":" for i in (2, 5, 8, 11, 14)):
            continue
        if cand == b"GP:SD:TR:AC:KL:OG":
            continue
        names = [b"time-sec", b"lat", b"lon", b"alt", b"spd", b"fix", b"signal", b"noise"]
        # A value cut off before its closing quote is no value.
        if any(n not in attrs or b'"' not in line[attrs[n]:] for n in names):
            continue
        value = lambda n: line[attrs[n]:].split(b'"')[0]
        points.append((cand, atoi(value(b"time-sec")), strtod(value(b"lat")),
                       strtod(value(b"lon")), strtod(value(b"alt")),
                       strtod(value(b"spd")), atoi(value(b"fix")),
                       atoi(value(b"signal")), atoi(value(b"noise"))))
    return points


def flags(wep, kind):
    value = 0
    for w, t, f in [(b"No", b"infrastructure", 1), (b"No", b"ad-hoc", 2),
                    (b"No", b"probe", 8), (b"Yes", b"infrastructure", 17),
                    (b"Yes", b"ad-hoc", 18), (b"Yes", b"probe", 24)]:
        if w in wep and t in kind:
            value = f
    return value


def octet(bssid, at):
    m = re.match(rb"\s*([0-9a-fA-F]{1,2})", bssid[at:at + 2])
    return int(m.group(1), 16) if m else 0


def record(line, points):
    c = columns(line)
    name = b"" if c[4] == b"None" else c[4]
    if len(c[2]) > 255 or len(c[4]) > 255:
        return None
    out = bytes([len(c[2])]) + c[2]
    out += bytes(octet(c[3], at) for at in (0, 3, 6, 9, 12, 15))
    out += struct.pack("<iiiIIqqdd", atoi(c[16]), atoi(c[17]), atoi(c[15]),
                       flags(c[7], c[1]), 100, kismet_time(c[13]),
                       kismet_time(c[14]), (strtod(c[22]) + strtod(c[18])) / 2.0,
                       (strtod(c[23]) + strtod(c[19])) / 2.0)
    matches = [p for p in points if c[3] and p[0][:17] == c[3][:17] and len(c[3]) == 17]
    out += struct.pack("<i", len(matches))
    for p in matches:
        out += struct.pack("<qiiiddd", filetime(p[1]), p[7], p[8], 1, p[2], p[3], p[4])
        out += struct.pack("<idddd", p[6], p[5], 0.0, 0.0, 0.0)
    channel = atoi(c[5])
    out += bytes([len(name)]) + name
    out += struct.pack("<IIII", 1 << (channel if 1 <= channel <= 11 else 6), 0, 0, 0)
    return out


def main(csv_path, gps_path, out_path):
    points = track_points(gps_path)
    lines = [l for l in open(csv_path, "rb").read().split(b"\n")
             if l and not l.startswith(b"N") and l.strip(b" \t\r")]
    records = []
    for line in lines:
        r = record(line, points)
        if r is None:
            break
        records.append(r)
    count = len(records) if len(records) < len(lines) else len(lines)
    with open(out_path, "wb") as out:
        out.write(b"NetS" + struct.pack("<Ii", 8, count) + b"".join(records))


if __name__ == "__main__":
    main(*sys.argv[1:4])
