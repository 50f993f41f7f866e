#!/usr/bin/env python3
"""Writes a synthetic survey, deterministically from a seed.

    gen_survey.py OUTDIR NETWORKS POINTS [SEED]

OUTDIR gets survey.csv (the 32-column "Best" version), survey.xml and
survey.network (the same networks), survey.gps (POINTS track points spread
over the networks, one in ten the GPS's own) and survey-wiscan.txt.
"""
import os
import random
import sys
import time


START = 1045900000  # the survey's start, in seconds since 1970


def ctime(t):
    return time.strftime("%a %b %d %H:%M:%S %Y", time.gmtime(t))


def make_networks(rnd, networks):
    types = ["infrastructure"] * 8 + ["ad-hoc", "probe"]
    nets = []
    for n in range(1, networks + 1):
        bssid = "00:%02X:%02X:%02X:%02X:%02X" % tuple(rnd.randrange(256) for _ in range(5))
        lat = 40.0 + rnd.random()
        lon = -74.0 - rnd.random()
        t = START + n
        nets.append((n, rnd.choice(types), "net-%d" % n, bssid, rnd.randrange(1, 15),
                     rnd.choice(["Yes", "No"]), t, lat, lon, lat + 0.002, lon + 0.002))
    return nets


def networks_as_read(networks, seed=1):
    """The networks of a survey as a reader of its logs sees them: the
    positions as written, with six decimals."""
    return [{"number": n, "type": typ, "ssid": ssid, "bssid": b, "channel": ch,
             "wep": wep, "time": time.strftime("%H:%M:%S", time.gmtime(t)),
             "minLat": float("%f" % a1), "minLon": float("%f" % o1),
             "maxLat": float("%f" % a2), "maxLon": float("%f" % o2)}
            for (n, typ, ssid, b, ch, wep, t, a1, o1, a2, o2)
            in make_networks(random.Random(seed), networks)]


def main(outdir, networks, points, seed=1):
    rnd = random.Random(seed)
    os.makedirs(outdir, exist_ok=True)
    nets = make_networks(rnd, networks)
    H = ("Network;NetType;ESSID;BSSID;Info;Channel;Maxrate;WEP;LLC;Data;Crypt;Weak;Total;"
         "First;Last;BestQuality;BestSignal;BestNoise;GPSMinLat;GPSMinLon;GPSMinAlt;GPSMinSpd;"
         "GPSMaxLat;GPSMaxLon;GPSMaxAlt;GPSMaxSpd;DHCP;ARP;UDP;TCP;")
    with open(os.path.join(outdir, "survey.csv"), "w", newline="") as csv, \
         open(os.path.join(outdir, "survey.xml"), "w") as xml, \
         open(os.path.join(outdir, "survey.network"), "w") as net:
        csv.write(H + "\r\n")
        xml.write('<?xml version="1.0" encoding="ISO-8859-1"?>\n'
                  '<detection-run kismet-version="2.8.0" start-time="%s" end-time="%s">\n'
                  % (ctime(START), ctime(START)))
        for (n, typ, ssid, b, ch, wep, t, a1, o1, a2, o2) in nets:
            csv.write("%d;%s;%s;%s;None;%02d;11.0;%s;4;1;0;0;5;%s;%s;30;70;45;%f;%f;10.000000;"
                      "2.000000;%f;%f;12.000000;8.000000;;;;;;;\r\n"
                      % (n, typ, ssid, b, ch, wep, ctime(t), ctime(t + 60), a1, o1, a2, o2))
            xml.write('  <wireless-network number="%d" type="%s" wep="%s" cloaked="false" '
                      'first-time="%s" last-time="%s">\n    <SSID>%s</SSID>\n    <BSSID>%s</BSSID>\n'
                      '    <channel>%d</channel>\n    <maxrate>11.0</maxrate>\n    <packets>\n'
                      '      <LLC>4</LLC>\n      <data>1</data>\n      <crypt>0</crypt>\n'
                      '      <weak>0</weak>\n      <total>5</total>\n    </packets>\n'
                      '    <datasize>0</datasize>\n    <gps-info unit="english">\n'
                      '      <min-lat>%f</min-lat>\n      <min-lon>%f</min-lon>\n'
                      '      <min-alt>10.000000</min-alt>\n      <min-spd>2.000000</min-spd>\n'
                      '      <max-lat>%f</max-lat>\n      <max-lon>%f</max-lon>\n'
                      '      <max-alt>12.000000</max-alt>\n      <max-spd>8.000000</max-spd>\n'
                      '    </gps-info>\n  </wireless-network>\n'
                      % (n, typ, "true" if wep == "Yes" else "false", ctime(t), ctime(t + 60),
                         ssid, b, ch, a1, o1, a2, o2))
            net.write('Network %d: "%s" BSSID: "%s"\n    Type     : %s\n    Info     : "None"\n'
                      '    Channel  : %02d\n    WEP      : "%s"\n    Maxrate  : 11.0\n'
                      '    LLC      : 4\n    Data     : 1\n    Crypt    : 0\n    Weak     : 0\n'
                      '    Total    : 5\n    First    : "%s"\n    Last     : "%s"\n'
                      '    Min Loc: Lat %f Lon %f Alt 10.000000 Spd 2.000000\n'
                      '    Max Loc: Lat %f Lon %f Alt 12.000000 Spd 8.000000\n\n'
                      % (n, ssid, b, typ, ch, wep, ctime(t), ctime(t + 60), a1, o1, a2, o2))
        xml.write("</detection-run>\n")
    with open(os.path.join(outdir, "survey.gps"), "w") as gps:
        gps.write('<?xml version="1.0" encoding="ISO-8859-1"?>\n<gps-run gps-version="5">\n')
        for i in range(points):
            if i % 10 == 9:
                b, a, o = "GP:SD:TR:AC:KL:OG", 40.5, -74.5
            else:
                net_ = nets[rnd.randrange(networks)]
                b, a, o = net_[3], net_[7] + rnd.random() * 0.002, net_[8] + rnd.random() * 0.002
            gps.write('    <gps-point bssid="%s" time-sec="%d" time-usec="%d" lat="%f" lon="%f" '
                      'alt="11.000000" spd="4.000000" fix="3" signal="%d" quality="%d" noise="%d"/>\n'
                      % (b, START + i, i % 1000000, a, o, 50 + i % 40, 10 + i % 30, 45))
        gps.write("</gps-run>\n")
    with open(os.path.join(outdir, "survey-wiscan.txt"), "w") as w:
        w.write("# $Creator: Network Stumbler Version 0.3.30\n# $Format: wi-scan\n")
        for (n, typ, ssid, b, ch, wep, t, a1, o1, a2, o2) in nets:
            lat = "N %.7f" % a1 if n % 7 else "N 0.0000000"
            w.write("%s\tW %.7f\t( %s )\tBBS\t ( %s )\t08:05:30 (GMT)\t[ 25 70 45 ]\n"
                    % (lat, -o1, ssid, b.lower()))


if __name__ == "__main__":
    main(sys.argv[1], int(sys.argv[2]), int(sys.argv[3]),
         int(sys.argv[4]) if len(sys.argv) > 4 else 1)
