#!/usr/bin/env python3
"""Writes random roads for scripts/compare-builds.sh: parameter files and the command
line each one is run with.

    random-roads.py COUNT SEED FOLDER

For road NNNN the folder receives NNNN.ini (the road), NNNN.args (the arguments of
pavolant-cli, one a line) and, when the command line asks for them, NNNN.settings.ini,
NNNN.border.ini and NNNN.scene.i3d (the road's points as the shapes of a scene, for
--splines, sometimes in a moved and turned group, beside other shapes, or without
rotations). In the arguments {ROADS} stands for the folder (absolute) and {RUN}
for the folder the run is started in; the outputs are named relative to that folder.
Lines of NNNN.args that start with '#' are not arguments:
    #kind NAME          what the road is meant to exercise (a fault's name, or "road")
    #prepare WHAT PATH  the runner prepares PATH in the run folder before the run:
                        "file" an existing document, "readonly" one without any write
                        bit, "folder" a folder in the document's place.

Most roads are well-formed and build: 2 to 12 points, both borders with 1 to 6
segments, the fill, textures, traffic curves, in files written with a decimal comma or
point, CR LF or LF, with keys left out so that their defaults apply. About one in twelve
carries a fault (a value that is no number, too few points, a texture length of 0, an
output that cannot be written, a memory limit too small, a wrong command line, a missing
file), so that the messages and the exit status are compared too. The same COUNT and
SEED always give the same files.
"""

import math
import os
import random
import sys

FAULTS = [
    "no-number",
    "too-few-points",
    "texture-length-0",
    "unwritable-output",
    "memory-limit",
    "usage",
    "missing-file",
    "too-many",
]

NAMES = [
    "Dorfstrasse", "Dorfstraße", "Ölmühlenweg", "Chaussée_Süd", "Landstraße 7", "Hauptweg",
    "Brücke_über_den_Bach", "Zufahrt-Hof", "Feldweg", "Kaffeesträßchen", "Дорога", "road_Æbleø",
]
TEXTURES = [
    "road_diffuse.dds", "asphalt.dds", "textures/gravel_diffuse.dds", "straße_diffuse.dds",
    "kerb_diffuse.dds", "verge_diffuse.dds", "grass.png", "Pflaster_Ä.dds", "",
]


class Road:
    """One parameter file under construction: sections in order, keys in order."""

    def __init__(self, rng):
        self.rng = rng
        self.sections = []  # [name, [(key, text)]]
        self.comma = rng.random() < 0.5
        self.mixed = rng.random() < 0.1  # each number its own separator
        self.points = []  # [X, Y, Z, Xrot, Yrot, Zrot] of each spline point

    def section(self, name):
        for s in self.sections:
            if s[0] == name:
                return s[1]
        self.sections.append([name, []])
        return self.sections[-1][1]

    def put(self, section, key, text, keep=0.93):
        """Sets a key, left out now and then so that its default applies."""
        if self.rng.random() < keep:
            self.section(section).append((key, text))

    def set(self, section, key, text):
        """Sets a key always, replacing one set before."""
        keys = self.section(section)
        for i, (k, _) in enumerate(keys):
            if k == key:
                keys[i] = (key, text)
                return
        keys.append((key, text))

    def num(self, value, digits=3):
        text = f"{round(value, digits):.{digits}f}"
        if "." in text:
            text = text.rstrip("0").rstrip(".")
        if text in ("-0", ""):
            text = "0"
        comma = self.rng.random() < 0.5 if self.mixed else self.comma
        return text.replace(".", ",") if comma else text

    def text(self):
        rng = self.rng
        eol = "\r\n" if rng.random() < 0.7 else "\n"
        lines = []
        if rng.random() < 0.1:
            lines.append("; a road from random-roads.py")
        for name, keys in self.sections:
            lines.append(f"[{name}]")
            for key, value in keys:
                if rng.random() < 0.03:
                    lines.append(f"{key} = {value}")
                else:
                    lines.append(f"{key}={value}")
        return eol.join(lines) + eol


def flag(rng, p_on):
    return "1" if rng.random() < p_on else "0"


def spline_points(road, n, far=False, unoriented=False, duplicate=False):
    rng = road.rng
    x, y, z = rng.uniform(-500, 500), rng.uniform(0, 80), rng.uniform(-500, 500)
    heading = rng.uniform(-180, 180)
    points = []
    for k in range(n):
        grade = rng.uniform(-6, 6)
        bank = rng.uniform(-5, 5) if rng.random() < 0.4 else 0.0
        points.append([x, y, z, -grade, heading, bank])
        step = rng.uniform(300, 900) if far else rng.uniform(12, 110)
        turn = rng.uniform(-60, 60) if rng.random() < 0.08 else rng.uniform(-30, 30)
        # The connection leaves along the mean of the two headings, so the point's own
        # heading lies between the incoming and the outgoing one.
        mid = math.radians(heading + turn / 2)
        x += step * math.sin(mid)
        z += step * math.cos(mid)
        y += step * math.tan(math.radians(grade))
        heading += turn
        # The program compares a heading with its chord's direction between -180 and 180
        # degrees; now and then one is left beyond that, which a run refuses.
        if rng.random() < 0.97:
            heading = (heading + 180) % 360 - 180
    if duplicate and n >= 2:
        k = rng.randrange(1, n)
        points.insert(k, list(points[k - 1]))
    road.put("Splines", "Anzahl", str(len(points)), keep=1)
    road.put("Splines", "aktuell", str(rng.randrange(len(points))))
    road.put("Splines", "FileName", rng.choice(["", "szene.i3d", "map_Ü.i3d"]))
    for k, p in enumerate(points, start=1):
        sec = f"SplinePts{k}"
        # A point without its position or heading (they default to 0) mostly makes a road
        # the run refuses; rarely, so that most roads build.
        road.put(sec, "X", road.num(p[0], 3), keep=0.998)
        road.put(sec, "Y", road.num(p[1], 3), keep=0.98)
        road.put(sec, "Z", road.num(p[2], 3), keep=0.998)
        if unoriented:
            continue
        road.put(sec, "Xrot", road.num(p[3], 2), keep=0.98)
        road.put(sec, "Yrot", road.num(p[4] + rng.uniform(-3, 3) * (rng.random() < 0.1), 2), keep=0.998)
        road.put(sec, "Zrot", road.num(p[5], 2), keep=0.95)
    return points


def border(road, side, segments=None):
    rng = road.rng
    geo, tex = f"Rand_{side}_Geo", f"Rand_{side}_Textur"
    n = segments if segments is not None else rng.randint(1, 6)
    road.put(geo, "enable1", flag(rng, 0.85), keep=0.95)
    road.put(geo, "nSegments", str(n), keep=0.97)
    road.put(tex, "FileName", rng.choice(TEXTURES))
    tex_width = rng.choice([1, 2, 4, rng.uniform(0.5, 8)])
    road.put(tex, "Laenge", road.num(rng.uniform(2, 20), 2))
    road.put(tex, "Breite", road.num(tex_width, 2))
    road.put(tex, "Pixel", rng.choice(["0", "0", "0", "256", "512", "1024"]))
    road.put(tex, "Ruecksetzen", flag(rng, 0.2))
    u = 0.0
    road.put(tex, "Start", road.num(u, 3))
    for k in range(n + 1):
        width = 0.0 if k == 0 and rng.random() < 0.8 else rng.uniform(0.05, 3)
        angle = rng.choice([0, 0, 90, -90, rng.uniform(-60, 90)])
        normal = angle + 90 + rng.uniform(-20, 20) * (rng.random() < 0.3)
        road.put(geo, f"Breite{k}", road.num(width, 3))
        road.put(geo, f"Winkel{k}", road.num(angle, 2))
        road.put(geo, f"Normale{k}", road.num(normal, 2))
        road.put(geo, f"NormaleMan{k}", flag(rng, 0.15))
        u += width / tex_width if rng.random() < 0.9 else 0
        road.put(tex, f"Ende{k}", road.num(u, 4))


def scene(rng, points, path):
    """An i3d scene holding the road's points as shapes, for --splines; returns the
    options that choose among them and whether the shapes lack their rotations."""
    def three(values):
        return " ".join(f"{v:.4f}".rstrip("0").rstrip(".") for v in values)

    markers = rng.random() < 0.3  # positions only, as markers are exported
    grouped = rng.random() < 0.6
    lines = ['<?xml version="1.0" encoding="iso-8859-1"?>', '<i3D name="Szene" version="1.6">', "<Scene>"]
    before = rng.randint(1, 3) if rng.random() < 0.3 else 0
    others = before > 0
    if others:  # a second spline before the road's, which --group or --shapes leaves out
        lines.append('<TransformGroup name="Andere">')
        for k in range(before):
            lines.append(f'<Shape name="x{k}" translation="{three([k * 7.5, 1, -3 * k])}"/>')
        lines.append("</TransformGroup>")
    if grouped:
        # A group moved and turned about Y: the points are placed through it.
        lines.append(f'<TransformGroup name="Straße" translation="{three([rng.uniform(-50, 50), 0, 5])}" '
                     f'rotation="0 {rng.choice([0, 0, 90, rng.uniform(-30, 30)]):.2f} 0">')
    for k, p in enumerate(points, start=1):
        rotation = "" if markers else f' rotation="{three(p[3:6])}"'
        lines.append(f'<Shape name="Punkt{k}" shapeId="{k}" translation="{three(p[0:3])}"{rotation}/>')
    if grouped:
        lines.append("</TransformGroup>")
    lines += ["</Scene>", "</i3D>"]
    text = "\n".join(lines) + "\n"
    if rng.random() < 0.05:
        text = text[: len(text) // 2]  # cut off: not well-formed
    with open(path, "w", encoding="latin-1", errors="replace", newline="") as f:
        f.write(text)
    options = []
    if others and grouped and rng.random() < 0.7:
        options += ["--group", "Straße"]
    elif others and rng.random() < 0.5:
        # The road's shapes; now and then a range beyond the scene's, which stops the import.
        last = before + len(points) + (rng.randint(1, 5) if rng.random() < 0.15 else 0)
        options += ["--shapes", f"{before + 1}-{last}"]
    return options, markers


def make_road(rng, kind):
    road = Road(rng)
    pref, geo, tex = "Preferences", "Fahrbahn_Geo", "Fahrbahn_Textur"
    road.put(pref, "StrassenName", rng.choice(NAMES), keep=0.95)
    road.put(pref, "minLaenge", road.num(rng.choice([2, 1, 5, rng.uniform(0.5, 10)]), 2))
    road.put(pref, "minWinkel", road.num(rng.choice([2.5, 1, 5, rng.uniform(0.5, 10)]), 2))
    road.put(pref, "minSteigung", road.num(rng.choice([0.5, rng.uniform(0.1, 3)]), 2))
    road.put(pref, "minZRot", road.num(rng.choice([1, rng.uniform(0.2, 4)]), 2))
    road.put(pref, "maxSturz", road.num(rng.choice([0.25, 4, rng.uniform(0.1, 8)]), 2))
    road.put(pref, "DreieckeSym", flag(rng, 0.3))

    road.put(geo, "Breite", road.num(rng.uniform(3, 12), 2))
    road.put(geo, "Schleppkurve", road.num(rng.choice([10, 0, rng.uniform(0, 20)]), 2))
    road.put(geo, "Sturz", road.num(rng.choice([1, 0, rng.uniform(0, 4)]), 2))
    road.put(geo, "SchleppkurveErzeugen", flag(rng, 0.6))
    road.put(geo, "SturzErzeugen", flag(rng, 0.6))
    road.put(geo, "FahrbahnErzeugen", flag(rng, 0.92))
    road.put(geo, "TransformGroup", flag(rng, 0.5))

    road.put(tex, "FileName", rng.choice(TEXTURES))
    road.put(tex, "Laenge", road.num(rng.choice([20, 10, rng.uniform(3, 40)]), 2))
    road.put(tex, "Start", road.num(rng.choice([0, rng.uniform(0, 0.4)]), 3))
    road.put(tex, "Ende", road.num(rng.choice([1, rng.uniform(0.6, 1)]), 3))
    road.put(tex, "TexL0", road.num(rng.choice([0, rng.uniform(0, 1), rng.uniform(-5, 30)]), 4))
    road.put(tex, "TexPixel", rng.choice(["0", "0", "0", "512", "1024", "2048"]))
    road.put(tex, "Rueckfaltung", flag(rng, 0.25))
    road.put(tex, "Rueckfaltung_p", road.num(rng.uniform(0, 1), 2))
    road.put(tex, "Ruecksetzen", flag(rng, 0.2))
    road.put(tex, "Streckung", road.num(rng.choice([0, 0, rng.uniform(0, 3)]), 2))

    if rng.random() < 0.85:
        traffic = rng.random() < 0.7
        ts = "TrafficSplines"
        road.put(ts, "Mitte", flag(rng, 0.6 if traffic else 0))
        road.put(ts, "Rechts", flag(rng, 0.6 if traffic else 0))
        road.put(ts, "Links", flag(rng, 0.6 if traffic else 0))
        road.put(ts, "RechtsProzent", road.num(rng.choice([50, rng.uniform(0, 100)]), 1))
        road.put(ts, "LinksProzent", road.num(rng.choice([50, rng.uniform(0, 100)]), 1))

    # Without their sections both borders are on with one segment of the defaults.
    if rng.random() < 0.95:
        border(road, "rechts")
    if rng.random() < 0.95:
        border(road, "links")

    far = kind == "memory-limit"
    unoriented = rng.random() < 0.06
    duplicate = rng.random() < 0.04
    n = rng.randint(8, 12) if far else rng.randint(2, 12)
    road.points = spline_points(road, n, far=far, unoriented=unoriented, duplicate=duplicate)

    if rng.random() < 0.9:
        fill = "FuellFlaeche"
        road.put(fill, "erzeugen", flag(rng, 0.7))
        road.put(fill, "Textur", rng.choice(TEXTURES))
        road.put(fill, "TexturHoehe", road.num(rng.choice([2, rng.uniform(0.5, 4)]), 2))
        road.put(fill, "TexturBreite", road.num(rng.choice([2, rng.uniform(0.5, 4)]), 2))
        road.put(fill, "TauschHB", flag(rng, 0.3))
    return road, unoriented, duplicate


def break_road(rng, road, kind):
    """Puts the fault `kind` into the road's file; returns extra arguments, preparations."""
    if kind == "no-number":
        junk = rng.choice(["abc", "1,2,3", "", "7m", "1e999", "--", "0x10", "2.5.1"])
        places = [(s, k) for s, keys in road.sections for k, _ in keys
                  if s.startswith(("Fahrbahn", "SplinePts", "Rand_", "FuellFlaeche", "TrafficSplines"))
                  and not k.startswith(("FileName", "Textur"))
                  and k not in ("enable1", "nSegments", "Anzahl", "aktuell")]
        if not places:
            places = [("Fahrbahn_Geo", "Breite")]
        section, key = rng.choice(places)
        road.set(section, key, junk)
    elif kind == "too-few-points":
        road.set("Splines", "Anzahl", rng.choice(["1", "0", "-1"]))
    elif kind == "texture-length-0":
        section, key = rng.choice([("Fahrbahn_Textur", "Laenge"), ("Rand_rechts_Textur", "Laenge"),
                                   ("Rand_links_Textur", "Laenge"), ("FuellFlaeche", "TexturHoehe"),
                                   ("FuellFlaeche", "TexturBreite")])
        road.set(section, key, "0")
        if section.startswith("Rand_"):
            road.set(section.replace("Textur", "Geo"), "enable1", "1")
        if section == "FuellFlaeche":
            road.set(section, "erzeugen", "1")
            road.set("Rand_rechts_Geo", "enable1", "1")
            road.set("Rand_links_Geo", "enable1", "1")
    elif kind == "too-many":
        if rng.random() < 0.5:
            road.set("Splines", "Anzahl", "100001")
        else:
            road.set("Rand_links_Geo", "nSegments", "10001")


def command_line(rng, i, kind, road, unoriented, duplicate, folder):
    road_file = f"{{ROADS}}/{i}.ini"
    args, prepare = [], []
    out = rng.choice(["out.i3d"] * 8 + ["{RUN}/out.i3d", "Straße Ü.i3d"])
    params = rng.choice(["saved.ini"] * 9 + ["{RUN}/saved.ini"])
    which = rng.random()
    if which < 0.8:
        args += ["-o", out, "--save-params", params]
    elif which < 0.92:
        args += ["-o", out]
    elif which < 0.98:
        args += ["--save-params", params]
    if unoriented or rng.random() < 0.05:
        args.append("--orient")
    if duplicate or rng.random() < 0.03:
        if rng.random() < 0.8:
            args.append("--drop-duplicates")
    if rng.random() < 0.1:
        args += ["--tex-start", rng.choice(["0", "0,25", "0.75", "3", "-1,5", "12.125"])]
    if rng.random() < 0.08:
        args += ["--settings", f"{{ROADS}}/{i}.settings.ini"]
        keys = ["[Preferences]", f"minLaenge={rng.choice(['1', '2,5', '0.5'])}",
                f"minWinkel={rng.choice(['2', '5', '1,5'])}"]
        if rng.random() < 0.5:
            keys.append(f"maxSpeicherMB={rng.choice(['512', '4096', '64'])}")
        with open(os.path.join(folder, f"{i}.settings.ini"), "w", encoding="utf-8", newline="") as f:
            f.write("\r\n".join(keys) + "\r\n")
    if rng.random() < 0.08:
        side = rng.choice(["--right-border", "--left-border"])
        other, _, _ = make_road(rng, "road")
        text = "".join(f"[{name}]\r\n" + "".join(f"{k}={v}\r\n" for k, v in keys)
                       for name, keys in other.sections if name.startswith("Rand_"))
        with open(os.path.join(folder, f"{i}.border.ini"), "w", encoding="utf-8", newline="") as f:
            f.write(text or "[Rand_rechts_Geo]\r\nenable1=0\r\n")
        args += [side, f"{{ROADS}}/{i}.border.ini"]
    if rng.random() < 0.08 and road.points:
        args += ["--splines", f"{{ROADS}}/{i}.scene.i3d"]
        options, markers = scene(rng, road.points, os.path.join(folder, f"{i}.scene.i3d"))
        args += options
        if markers and "--orient" not in args:
            args.append("--orient")
    if rng.random() < 0.05 and "-o" in args:
        prepare.append(("file", out))  # an older document that the run replaces

    if kind == "unwritable-output":
        what = rng.choice(["missing-folder", "readonly", "folder", "params-missing-folder"])
        if "-o" not in args and what != "params-missing-folder":
            args += ["-o", "out.i3d"]
            out = "out.i3d"
        if what == "missing-folder":
            args[args.index("-o") + 1] = "fehlt/out.i3d"
        elif what == "readonly":
            prepare.append(("readonly", out))
        elif what == "folder":
            prepare.append(("folder", out))
        else:
            if "--save-params" in args:
                args[args.index("--save-params") + 1] = "fehlt/saved.ini"
            else:
                args += ["--save-params", "fehlt/saved.ini"]
    elif kind == "memory-limit":
        if "-o" not in args:
            args += ["-o", "out.i3d"]
        args += ["--max-memory", rng.choice(["1", "2M", "0.001G", "1MiB"])]
    elif kind == "usage":
        args += rng.choice([["--frobnicate"], ["--max-memory", "8X"], ["--shapes", "1-2"],
                            ["--tex-start"], [road_file], ["--orient", "--orient"],
                            ["--group", "a", "--shapes", "1-3"], ["--max-memory", "-5M"]])
        if args[-1] == "--tex-start":  # "needs a value" only while it is the last word
            return [road_file] + args, prepare
    elif kind == "missing-file":
        if rng.random() < 0.5:
            return args + [f"{{ROADS}}/{i}.fehlt.ini"], prepare
        args += [rng.choice(["--right-border", "--left-border", "--settings"]), f"{{ROADS}}/{i}.fehlt.ini"]
    # The order of the options does not matter to the program; shuffle them in pairs.
    pairs, k = [], 0
    takes_value = {"-o", "--save-params", "--tex-start", "--settings", "--right-border", "--left-border",
                   "--max-memory", "--shapes", "--group", "--splines"}
    while k < len(args):
        if args[k] in takes_value and k + 1 < len(args):
            pairs.append(args[k:k + 2])
            k += 2
        else:
            pairs.append(args[k:k + 1])
            k += 1
    rng.shuffle(pairs)
    args = [a for p in pairs for a in p]
    if rng.random() < 0.5:
        args.append(road_file)
    else:
        args.insert(0, road_file)
    return args, prepare


def encode(rng, text):
    choice = rng.random()
    if choice < 0.05:
        return b"\xef\xbb\xbf" + text.encode("utf-8")
    if choice < 0.08:
        return text.encode("latin-1", errors="replace")
    return text.encode("utf-8")


def main():
    if len(sys.argv) != 4:
        sys.exit("usage: random-roads.py COUNT SEED FOLDER")
    count, seed, folder = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3]
    os.makedirs(folder, exist_ok=True)
    width = max(4, len(str(count - 1)))
    for n in range(count):
        rng = random.Random(f"{seed}/{n}")
        i = str(n).zfill(width)
        # Each fault in turn, so that every one shows up in a few hundred roads.
        kind = FAULTS[n % len(FAULTS)] if rng.random() < 0.08 else "road"
        road, unoriented, duplicate = make_road(rng, kind)
        if kind != "road":
            break_road(rng, road, kind)
        args, prepare = command_line(rng, i, kind, road, unoriented, duplicate, folder)
        with open(os.path.join(folder, f"{i}.ini"), "wb") as f:
            f.write(encode(rng, road.text()))
        with open(os.path.join(folder, f"{i}.args"), "w", encoding="utf-8") as f:
            f.write(f"#kind {kind}\n")
            for what, path in prepare:
                f.write(f"#prepare {what} {path}\n")
            for a in args:
                f.write(a + "\n")


if __name__ == "__main__":
    main()
