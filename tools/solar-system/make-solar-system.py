#!/usr/bin/env python3
"""Writes data/scenarios/solar-system.json (and saturn-ring.png) from the reference
tables in data/solar-system/.

    tools/solar-system/make-solar-system.py [REPO_ROOT]

State vectors: JPL Horizons, JD 2451545.0 TDB, barycentric, ICRF axes, km and km/s.
They are turned to the ecliptic and mean equinox of J2000 (a rotation about x by the
IAU 2006 obliquity 84381.406") so that the orbits lie in the x-y plane, the screen's
natural plane, and to metres. Masses are GM / G with the G the scenario uses, so that
G * m gives back the published GM. Spin axes come from the IAU pole (right ascension and
declination in ICRF, turned to the ecliptic the same way); a negative rotation period
(Venus, Uranus, Pluto) spins the body backwards about that pole.

The ring picture: Debian's openuniverse rings.jpg runs from about 88,000 km (the inner
B ring) to the outer edge of the A ring (136,775 km; the Cassini division and the Encke
gap sit where they should for that span). The ring painter's profile starts at the
planet's surface, so the picture is placed at its radii, the faint C ring (74,658 to
92,000 km) is added below it, and the greys are tinted the pale tan of the rings.
After running this, rebuild the universe files: cmake --build build --target universes
"""
import csv
import json
import math
import os
import struct
import subprocess
import sys
import zlib

G = 6.67430e-11  # CODATA 2018, m^3 kg^-1 s^-2
OBLIQUITY = math.radians(84381.406 / 3600.0)  # IAU 2006 obliquity of the ecliptic at J2000
TEXTURES = "/usr/share/openuniverse/textures/"
XPLANET = "/usr/share/xplanet/images/"

SATURN_RADIUS_KM = 58232.0
RING_OUTER_KM = 136775.0   # outer edge of the A ring
RING_PICTURE_INNER_KM = 88000.0
C_RING_KM = (74658.0, 92000.0)

# name, picture, colour (16-bit RGB)
BODIES = [
    ("Sun", XPLANET + "sun.jpg", (65535, 60000, 20000)),
    ("Mercury", TEXTURES + "mercury.jpg", (42000, 40000, 38000)),
    ("Venus", TEXTURES + "venus.jpg", (62000, 56000, 42000)),
    ("Earth", XPLANET + "earth.jpg", (20000, 30000, 65535)),
    ("Moon", TEXTURES + "moon.jpg", (45000, 45000, 45000)),
    ("Mars", TEXTURES + "mars.jpg", (62000, 32000, 20000)),
    ("Jupiter", TEXTURES + "jupiter.jpg", (56000, 46000, 36000)),
    ("Io", TEXTURES + "io.jpg", (62000, 58000, 30000)),
    ("Europa", TEXTURES + "europa.jpg", (56000, 52000, 46000)),
    ("Ganymede", TEXTURES + "ganymede.jpg", (46000, 43000, 40000)),
    ("Callisto", TEXTURES + "callisto.jpg", (36000, 33000, 30000)),
    ("Saturn", TEXTURES + "saturn.jpg", (60000, 52000, 36000)),
    ("Titan", TEXTURES + "titan.jpg", (60000, 45000, 20000)),
    ("Uranus", TEXTURES + "uranus.jpg", (42000, 60000, 62000)),
    ("Neptune", TEXTURES + "neptune.jpg", (26000, 36000, 65535)),
    ("Pluto", TEXTURES + "pluto.jpg", (52000, 46000, 40000)),
]


def to_ecliptic(v):
    c, s = math.cos(OBLIQUITY), math.sin(OBLIQUITY)
    return [v[0], c * v[1] + s * v[2], -s * v[1] + c * v[2]]


def pole_angles(ra_deg, dec_deg):
    ra, dec = math.radians(ra_deg), math.radians(dec_deg)
    k = to_ecliptic([math.cos(dec) * math.cos(ra), math.cos(dec) * math.sin(ra), math.sin(dec)])
    return math.acos(max(-1.0, min(1.0, k[2]))), math.atan2(k[1], k[0])


def png_bytes(width, height, rows):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
    raw = b"".join(b"\x00" + bytes(row) for row in rows)
    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def ring_picture(path):
    """1024 x 1 profile from the planet's surface (left) to the A ring's edge (right)."""
    text = subprocess.run(["convert", TEXTURES + "rings.jpg", "-colorspace", "Gray", "-resize", "256x1!",
                           "-depth", "8", "txt:-"], check=True, capture_output=True, text=True).stdout
    grey = [0] * 256
    for line in text.splitlines()[1:]:
        x = int(line.split(",", 1)[0])
        grey[x] = int(line.split("(", 1)[1].split(",")[0].split(")")[0])
    row = []
    outer = RING_OUTER_KM / SATURN_RADIUS_KM
    for i in range(1024):
        r_km = SATURN_RADIUS_KM * (1.0 + (outer - 1.0) * (i + 0.5) / 1024)
        if r_km >= RING_PICTURE_INNER_KM:
            t = (r_km - RING_PICTURE_INNER_KM) / (RING_OUTER_KM - RING_PICTURE_INNER_KM)
            level = grey[min(255, int(t * 256))] / 255.0
        elif C_RING_KM[0] <= r_km < C_RING_KM[1]:
            level = 0.22
        else:
            level = 0.0
        level *= 0.8  # ring light adds to what lies behind; keep Saturn's disc visible through it
        row += [int(255 * level * 0.93), int(255 * level * 0.85), int(255 * level * 0.68)]
    with open(path, "wb") as out:
        out.write(png_bytes(1024, 1, [row]))
    return outer


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "..")
    data = os.path.join(root, "data", "solar-system")
    states = {r["body"]: r for r in csv.DictReader(open(os.path.join(data, "state_vectors.csv")))}
    physical = {r["body"]: r for r in csv.DictReader(open(os.path.join(data, "physical.csv")))}
    scenarios = os.path.join(root, "data", "scenarios")
    ring_ratio = ring_picture(os.path.join(scenarios, "saturn-ring.png"))

    bodies = []
    for name, picture, colour in BODIES:
        s, p = states[name], physical[name]
        pos = to_ecliptic([float(s[k]) * 1e3 for k in ("x", "y", "z")])
        vel = to_ecliptic([float(s[k]) * 1e3 for k in ("vx", "vy", "vz")])
        gm = float(p["gm_km3_s2"]) * 1e9
        period_s = float(p["sidereal_rotation_period_h"]) * 3600.0
        tilt, azimuth = pole_angles(float(p["iau_pole_ra_deg_icrf"]), float(p["iau_pole_dec_deg_icrf"]))
        body = {
            "name": name,
            "pos": [float("%.15g" % c) for c in pos],
            "vel": [float("%.15g" % c) for c in vel],
            "mass": float("%.15g" % (gm / G)),
            "radius": float(p["mean_radius_km"]) * 1e3,
            "axisTilt": round(tilt, 6),
            "axisAzimuth": round(azimuth, 6),
            "spinRate": float("%.6g" % (2.0 * math.pi / period_s)),
            "color": list(colour),
            "surfacePicture": picture,
        }
        if name == "Saturn":
            body["ringRatio"] = round(ring_ratio, 4)
            body["ringPicture"] = "saturn-ring.png"
        bodies.append(body)

    scenario = {
        "physics": {"gravConstant": G, "powerLaw": -2.0, "timeStep": 600.0, "pushesPerFrame": 48,
                    "method": "semi-implicit-euler", "onCrash": "ignore", "trailLength": 1100},
        "view": {"cameraMode": 0, "cameraSelection": 0, "labelFlags": 1, "displayFlags": 0, "viewAngle": 60.0,
                 "minPointSize": 3},
        "epochJDTDB": 2451545.0,  # the state vectors are at J2000 TDB
        "demoCamera": {"eyeDistance": 7.0e11, "tilt": 0.9, "azimuth": -1.2},
        "bodies": bodies,
    }
    with open(os.path.join(scenarios, "solar-system.json"), "w") as out:
        out.write("{\n")
        for key in ("physics", "view", "epochJDTDB", "demoCamera"):
            out.write(' "%s": %s,\n' % (key, json.dumps(scenario[key])))
        out.write(' "bodies": [\n  ' + ",\n  ".join(json.dumps(b) for b in bodies) + "\n ]\n}\n")


if __name__ == "__main__":
    main()
