#!/usr/bin/env python3
"""Draws the links between the program's own libraries from `cmake --graphviz` output, each
library on the floor of its folder, and fails when a link runs upward or sideways.

    python3 scripts/library_graph.py BUILD_DIR [OUT.png]

BUILD_DIR is configured anew with --graphviz; OUT.png needs Graphviz's dot."""
import os, re, subprocess, sys

FLOORS = {"common": 0, "storage": 1, "settings": 2, "import": 3, "export": 3, "analytics": 3,
          "acquisition": 3, "day": 4, "chart": 5, "ui": 6, "gui": 7, "cli_lib": 7}

def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    build = sys.argv[1]
    top = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    dot_in = os.path.join(build, "libraries.dot")
    subprocess.run(["cmake", "-S", top, "-B", build, "--graphviz=" + dot_in], check=True,
                   stdout=subprocess.DEVNULL)
    text = open(dot_in).read()
    names = {n: l[len("zarvex_"):] for n, l in re.findall(r'"(node\d+)" \[ label = "([^"]+)"', text)
             if l.startswith("zarvex_") and l[len("zarvex_"):] in FLOORS}
    links = sorted({(names[a], names[b]) for a, b in re.findall(r'"(node\d+)" -> "(node\d+)"', text)
                    if a in names and b in names})
    bad = [(a, b) for a, b in links if FLOORS[b] >= FLOORS[a]]
    for a, b in bad:
        print("upward or sideways link: %s -> %s" % (a, b))
    print("%d libraries, %d links, %d upward or sideways" % (len(set(names.values())), len(links), len(bad)))
    if len(sys.argv) > 2:
        lines = ["digraph libraries {", "  rankdir=BT; node [shape=box, fontname=\"DejaVu Sans\"];"]
        for floor in sorted(set(FLOORS.values())):
            same = [n for n, f in FLOORS.items() if f == floor and n in names.values()]
            lines.append("  { rank=same; %s }" % "; ".join('"%s"' % n for n in same))
        lines += ['  "%s" -> "%s";' % link for link in links] + ["}"]
        subprocess.run(["dot", "-Tpng", "-o", sys.argv[2]], input="\n".join(lines), text=True, check=True)
    sys.exit(1 if bad else 0)

main()
