#!/usr/bin/env python3
"""Writes the point table texts under resources/tables/ from the base-time source files.

Usage: build_tables.py SOURCE_DIR [OUTPUT_DIR]

SOURCE_DIR holds the CSV files of base times with their provenance notes (fina-2004.csv,
world-aquatics-20XX.csv, rudolph-2025.csv ...). The FINA 2011 table is the program's own and is
written from the list below. Every text is plain ASCII with CR LF line ends, the form the table
reader has always read. Run it again after a source changes; the output is deterministic.
"""
import csv
import os
import sys

CRLF = "\r\n"

# Every built-in table in catalogue order: resource name, header keys, column line.
BUILT_IN = [
    ("BSSW_POINTS_CAN_2004", [("Formula", "CANADIAN"), ("Id", "1004"), ("Name", "SNC Performance Ratings"), ("ShortNameVersion", "SNC Points 2003/2004"), ("Version", "2003/2004")], "COURSE;GENDER;DISTANCE;STROKE;MINTIME"),
    ("BSSW_POINTS_CAN_2005", [("Formula", "CANADIAN"), ("Id", "1006"), ("Name", "SNC Performance Ratings"), ("ShortNameVersion", "SNC Points 2004/2005"), ("Version", "2004/2005")], "COURSE;GENDER;DISTANCE;STROKE;MINTIME"),
    ("BSSW_POINTS_CAN_SWAD_2008", [("Formula", "CANADIAN"), ("Id", "1011"), ("Name", "Canadian SWAD Points Table"), ("Options", "HANDICAP"), ("ShortNameVersion", "Can SWAD 2008"), ("Version", "2008")], "HANDICAP;GENDER;RELAYCOUNT;DISTANCE;STROKE;MINTIME"),
    ("BSSW_POINTS_FINA_2004", [("Formula", "CUBED"), ("Id", "3000"), ("Name", "FINA Point Scoring"), ("Options", "FINA"), ("ShortNameVersion", "FINA 2004"), ("UseMenForMixed", "True"), ("Version", "2004")], "COURSE;GENDER;RELAYCOUNT;DISTANCE;STROKE;MINTIME;ISDEFAULT"),
    ("BSSW_POINTS_FINA_2008", [("Formula", "CUBED"), ("Id", "3001"), ("Name", "FINA Point Scoring"), ("Options", "FINA"), ("ShortNameVersion", "FINA 2008"), ("UseMenForMixed", "True"), ("Version", "2008")], "COURSE;GENDER;RELAYCOUNT;DISTANCE;STROKE;MINTIME;ISDEFAULT"),
    ("BSSW_POINTS_FINA_2009", [("Formula", "CUBED"), ("Id", "3002"), ("Name", "FINA Point Scoring"), ("Options", "FINA"), ("ShortNameVersion", "FINA 2009"), ("UseMenForMixed", "True"), ("Version", "2009"), ("Courses", "SCM")], "COURSE;GENDER;RELAYCOUNT;DISTANCE;STROKE;MINTIME;ISDEFAULT"),
    ("BSSW_POINTS_FINA_2010", [("Formula", "CUBED_FINA"), ("Id", "3003"), ("Name", "FINA Point Scoring"), ("Options", "FINA"), ("ShortNameVersion", "FINA 2010"), ("UseMenForMixed", "True"), ("Version", "2010")], "COURSE;GENDER;RELAYCOUNT;DISTANCE;STROKE;MINTIME;ISDEFAULT"),
    ("BSSW_POINTS_FINA_2011", [("Formula", "CUBED_FINA"), ("Id", "3004"), ("Name", "FINA Point Scoring"), ("Options", "FINA"), ("ShortNameVersion", "FINA 2011"), ("UseMenForMixed", "True"), ("Version", "2011"), ("Courses", "LCM")], "COURSE;GENDER;RELAYCOUNT;DISTANCE;STROKE;MINTIME;ISDEFAULT"),
    ("BSSW_POINTS_GER_2001", [("Formula", "CUBED_DSV"), ("Id", "1001"), ("Name", "DSV Performance Table"), ("ShortNameVersion", "DSV 2001"), ("Version", "2001")], "GENDER;RELAYCOUNT;DISTANCE;STROKE;MINTIME"),
    ("BSSW_POINTS_GER_2005", [("Formula", "CUBED_DSV_NEW"), ("Id", "1007"), ("Name", "DSV Performance Table"), ("ShortNameVersion", "DSV 2005"), ("Version", "2005")], "GENDER;RELAYCOUNT;DISTANCE;STROKE;MINTIME"),
    ("BSSW_POINTS_GER_2009", [("Formula", "CUBED_DSV_NEW"), ("Id", "1013"), ("Name", "DSV Performance Table"), ("ShortNameVersion", "DSV 2009"), ("Version", "2009")], "GENDER;RELAYCOUNT;DISTANCE;STROKE;MINTIME"),
    ("BSSW_POINTS_GER_MASTER_2004", [("Formula", "CUBED_DSV"), ("Id", "1008"), ("Name", "DSV Master Performance Table"), ("Options", "MASTER"), ("ShortNameVersion", "DSV Masters 04"), ("Version", "2004")], "GENDER;AGEMIN;AGEMAX;DISTANCE;STROKE;MINTIME"),
    ("BSSW_POINTS_GER_RUDOLPH_2008", [("Formula", "RUDOLPH"), ("Id", "1106"), ("Name", "German Rudolph Table"), ("ShortNameVersion", "Rudolph Table 2008"), ("Version", "2008")], "GENDER;AGEMIN;AGEMAX;DISTANCE;STROKE;MINTIME;MAXTIME"),
    ("BSSW_POINTS_GER_RUDOLPH_2009", [("Formula", "RUDOLPH"), ("Id", "1107"), ("Name", "German Rudolph Table"), ("ShortNameVersion", "Rudolph Table 2009"), ("Version", "2009")], "GENDER;AGEMIN;AGEMAX;DISTANCE;STROKE;MINTIME;MAXTIME"),
    ("BSSW_POINTS_GER_RUDOLPH_2010", [("Formula", "RUDOLPH"), ("Id", "1108"), ("Name", "German Rudolph Table"), ("ShortNameVersion", "Rudolph Table 2010"), ("Version", "2010")], "GENDER;AGEMIN;AGEMAX;DISTANCE;STROKE;MINTIME;MAXTIME"),
    ("BSSW_POINTS_IPC_2008", [("Formula", "CUBED"), ("Id", "1010"), ("Name", "IPC Points Table"), ("Options", "HANDICAP"), ("ShortNameVersion", "IPC 2008"), ("Version", "2008")], "HANDICAP;GENDER;RELAYCOUNT;DISTANCE;STROKE;MINTIME"),
    ("BSSW_POINTS_IPC_2009", [("Formula", "CUBED"), ("Id", "1012"), ("Name", "IPC Points Table"), ("Options", "HANDICAP"), ("ShortNameVersion", "IPC 2009"), ("Version", "2009")], "COURSE;GENDER;RELAYCOUNT;DISTANCE;STROKE;HANDICAP;MINTIME"),
    ("BSSW_POINTS_SUI_KIDS_2005", [("Formula", "CUBED"), ("Id", "1101"), ("Name", "Swiss Kids Points"), ("ShortNameVersion", "Swiss Kids 2005"), ("UseMenForMixed", "True"), ("Version", "2005")], "GENDER;STROKE;MINTIME"),
    ("BSSW_POINTS_SUI_KIDS_2007", [("Formula", "CUBED"), ("Id", "1102"), ("Name", "Swiss Kids Points"), ("ShortNameVersion", "Swiss Kids 2007"), ("UseMenForMixed", "True"), ("Version", "2007")], "GENDER;STROKE;MINTIME"),
]

# FINA Point Scoring 2011, long course: relay count, distance, stroke, men, women, standard event.
FINA_2011 = """1 50 FREE 20.91 23.73 Y
1 100 FREE 46.91 52.07 Y
1 200 FREE 1:42.00 1:52.98 Y
1 400 FREE 3:40.07 3:59.15 Y
1 800 FREE 7:32.12 8:14.10 Y
1 1500 FREE 14:34.56 15:42.54 Y
1 50 BACK 24.04 27.06 Y
1 100 BACK 51.94 58.12 Y
1 200 BACK 1:51.92 2:04.81 Y
1 50 BREAST 26.67 29.80 Y
1 100 BREAST 58.58 1:04.45 Y
1 200 BREAST 2:07.31 2:20.12 Y
1 50 FLY 22.43 25.07 Y
1 100 FLY 49.82 56.06 Y
1 200 FLY 1:51.51 2:01.81 Y
1 200 MEDLEY 1:54.10 2:06.15 Y
1 400 MEDLEY 4:03.84 4:29.45 Y
4 100 FREE 3:08.24 3:31.72 Y
4 200 FREE 6:58.55 7:42.08 Y
4 100 MEDLEY 3:27.28 3:52.19 Y
1 300 FREE 2:41.03 2:56.06 N
1 1000 FREE 9:25.15 10:17.62 N
1 2000 FREE 19:26.08 20:56.72 N
1 3000 FREE 29:09.12 31:25.08 N
1 5000 FREE 48:35.20 52:21.80 N
4 50 FREE 1:24.85 1:36.77 Y
4 50 BACK 1:37.55 1:50.35 N
4 50 BREAST 1:48.23 2:01.52 N
4 50 FLY 1:31.02 1:42.23 N
4 100 BACK 3:30.77 3:57.01 N
4 100 BREAST 3:57.72 4:22.82 N
4 100 FLY 3:22.17 3:48.61 N
5 50 FREE 1:46.06 2:00.96 N
6 50 FREE 2:07.27 2:25.15 N
8 50 FREE 2:49.70 3:13.54 N
10 50 FREE 3:32.12 4:01.92 N
10 100 FREE 7:50.60 8:49.30 N
4 50 MEDLEY 1:33.43 1:46.12 Y
8 50 MEDLEY 3:06.86 3:32.24 N"""


def header_lines(keys):
    return [f"{k}={v}" for k, v in keys] + ["<BASETIMES>"]


def write(path, lines):
    with open(path, "w", newline="") as f:
        f.write(CRLF.join(lines) + CRLF)


def read_csv(path):
    with open(path, newline="") as f:
        return list(csv.DictReader(f))


def fina_2011_rows():
    events = [line.split() for line in FINA_2011.splitlines()]
    men = [f"LCM;M;{r};{d};{s};{m};{y}" for r, d, s, m, w, y in events]
    women = [f"LCM;F;{r};{d};{s};{w};{y}" for r, d, s, m, w, y in events]
    return men + women


def fina_2004_rows(src):
    return [f"{r['course']};{r['gender']};{r['relaycount']};{r['distance']};{r['stroke']};{r['time']};Y"
            for r in read_csv(os.path.join(src, "fina-2004.csv"))]


def build_built_in(src, out):
    for name, keys, columns in BUILT_IN:
        table_id = dict(keys)["Id"]
        lines = []
        if name == "BSSW_POINTS_FINA_2011":
            lines += ["; FINA Point Scoring 2011, long course: 39 events for men and for women."]
            rows = fina_2011_rows()
        elif name == "BSSW_POINTS_FINA_2004":
            lines += ["; FINA Point Scoring 2004, base times of the FINA document \"Fina Point Scoring\"",
                      "; (last changed 15 Dec 2004): LCM and SCM, the standard individual events and relays.",
                      "; The document lists no base times for non-standard events, so none are given here."]
            rows = fina_2004_rows(src)
        else:
            lines += ["; The base times of this table are not included in this edition: no public source",
                      "; of them could be found, and guessed numbers would give wrong points under an",
                      f"; official name. A table file with Id={table_id} in the user's table directory",
                      "; replaces this one."]
            rows = []
        lines += header_lines(keys) + [columns] + rows
        write(os.path.join(out, name + ".txt"), lines)


def build_world_aquatics(src, out):
    for year in ("2024", "2025", "2026"):
        rows = read_csv(os.path.join(src, f"world-aquatics-{year}.csv"))
        rows += read_csv(os.path.join(src, f"world-aquatics-{year}-mixed.csv"))
        lines = [f"; World Aquatics Points {year}: base times of the World Aquatics points document of {year}",
                 "; (long course and the short course season then in force), the world records standing",
                 "; at the start of each season. Mixed relays have their own rows (gender X).",
                 "Formula=CUBED_FINA", f"Id=30{year[2:]}", "Name=World Aquatics Points", "Options=FINA",
                 f"ShortNameVersion=WA {year}", "UseMenForMixed=False", f"Version={year}",
                 "Courses=LCM,SCM", "<BASETIMES>", "COURSE;GENDER;RELAYCOUNT;DISTANCE;STROKE;MINTIME"]
        lines += [f"{r['course']};{r['gender']};{r['relaycount']};{r['distance']};{r['stroke']};{r['time']}"
                  for r in rows]
        write(os.path.join(out, f"WA_POINTS_{year}.txt"), lines)


def build_rudolph_2025(src, out):
    rows = read_csv(os.path.join(src, "rudolph-2025.csv"))

    def age_group(r):
        lo, hi = int(r["agemin"]), int(r["agemax"])
        if lo == -1 and hi == -1:
            return (19, -1)   # the open class: 19 and older
        if lo == 8:
            return (-1, 8)    # the youngest group: 8 and younger
        return (lo, hi)

    def order(r):
        lo, hi = age_group(r)
        return (r["gender"] != "F", lo if lo != -1 else 0)

    lines = ["; German Rudolph Table 2025 (\"2025/Basis 2024\", Dr. Klaus Rudolph, published by the DSV",
             "; in February 2025, unchanged for 2026), long course. MINTIME is the time of 20 points,",
             "; MAXTIME the time of 1 point. The youngest group holds 8 and younger, the open class",
             "; 19 and older.",
             "Formula=RUDOLPH", "Id=1125", "Name=German Rudolph Table", "ShortNameVersion=Rudolph Table 2025",
             "Version=2025", "<BASETIMES>", "GENDER;AGEMIN;AGEMAX;DISTANCE;STROKE;MINTIME;MAXTIME"]
    for r in sorted(rows, key=order):  # sorted() is stable: events keep their order
        lo, hi = age_group(r)
        lines.append(f"{r['gender']};{lo};{hi};{r['distance']};{r['stroke']};{r['mintime']};{r['maxtime']}")
    write(os.path.join(out, "RUDOLPH_2025.txt"), lines)


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    src = sys.argv[1]
    out = sys.argv[2] if len(sys.argv) > 2 else os.path.join(os.path.dirname(__file__), "..", "..", "resources", "tables")
    os.makedirs(os.path.join(out, "bundled"), exist_ok=True)
    build_built_in(src, out)
    build_world_aquatics(src, os.path.join(out, "bundled"))
    build_rudolph_2025(src, os.path.join(out, "bundled"))


if __name__ == "__main__":
    main()
