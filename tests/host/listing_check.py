#!/usr/bin/env python3
"""The host program's output as scripts read it: every listing in csv (read
back with a CSV reader) and json (read back with a JSON parser), with names
holding blanks, commas, quotes and non-ASCII letters; the new commands; exit
codes of reads that fail, of unknown wells and of empty ones; and the log
plot read back as XML: its tracks, their scales, the markers.
Usage: listing_check.py PROGRAM"""

import csv
import io
import json
import math
import os
import sqlite3
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

PROGRAM = sys.argv[1]
WELL = 'Ölfeld 1, "Süd"'
OTHER = "Plain 2"
MARKERS = ['Top, "A"', "Basis Ü", "Mid  Zone; two blanks"]
THIRD_WELL = "Nord 3"
HEADLESS = 'Nördlich, "ohne" Kopf'  # a project with wells and no header
EMPTY = "Leere Ära"  # a project with a header and no wells
failures = []


def run(*args):
    done = subprocess.run([PROGRAM, *args], capture_output=True, text=True)
    return done.returncode, done.stdout, done.stderr


def check(what, ok, detail=""):
    print(("ok   " if ok else "FAIL ") + what)
    if not ok:
        failures.append(what)
        if detail:
            print("     " + str(detail).replace("\n", "\n     "))


def las_text(well, rows, outlier=False):
    lines = [
        "~Version", " VERS. 2.0 : version", " WRAP. NO : one line per step",
        "~Well", " STRT.M 1000 : start", " STOP.M %g : stop" % (1000 + (rows - 1) * 0.5),
        " STEP.M 0.5 : step", " NULL. -999.25 : null", " WELL. %s : well" % well,
        " X.M 512430 : surface x", " Y.M 4412875 : surface y", " EKB.M 100 : kelly bushing",
        "~Curve", " DEPT.M : depth", " GR.GAPI : gamma ray", " RT.OHMM : resistivity",
        "~A",
    ]
    for i in range(rows):
        gr = 40 + 60 * (0.5 + 0.5 * math.sin(i / 15.0))
        if outlier and i == rows // 2:
            gr = -2324.0
        rt = 10 ** (0.3 + 1.8 * (0.5 + 0.5 * math.sin(i / 23.0)))
        lines.append("%g %g %g" % (1000 + i * 0.5, gr, rt))
    return "\n".join(lines) + "\n"


def csv_rows(text):
    return list(csv.DictReader(io.StringIO(text)))


def listing(*args):
    """The csv and json of a listing command, both read back."""
    code_csv, out_csv, err_csv = run(*args, "--format", "csv")
    code_json, out_json, err_json = run(*args, "--format", "json")
    check("%s: csv and json exit 0" % args[0], code_csv == 0 and code_json == 0,
          err_csv + err_json)
    try:
        parsed = json.loads(out_json)
    except ValueError as error:
        check("%s --format json parses" % args[0], False, error)
        parsed = []
    return csv_rows(out_csv), parsed


def check_engine(work, db, project, damage, missing_db):
    """Every check on the project database db of project; damage(sql) runs a statement on it;
    missing_db names a database that does not exist."""
    os.makedirs(work, exist_ok=True)
    las = os.path.join(work, "one.las")
    with open(las, "w", encoding="utf-8") as f:
        f.write(las_text(WELL, 400, outlier=True))
    other = os.path.join(work, "other.las")
    with open(other, "w", encoding="utf-8") as f:
        f.write(las_text(OTHER, 20))
    code, out, err = run("import-las", db, "--project", project, las, other)
    check("import-las", code == 0, err)

    tops = os.path.join(work, "tops.csv")
    with open(tops, "w", encoding="utf-8", newline="") as f:
        writer = csv.writer(f)
        writer.writerow(["well", "marker", "top", "bottom", "description"])
        for n, name in enumerate(MARKERS):
            writer.writerow([WELL, name, 1020 + 40 * n, 1050 + 40 * n, "desc, " + name])
    code, out, err = run("import-tops", db, tops)
    check("import-tops says '1 well', not '1 wells'",
          code == 0 and "markers of 1 well imported (3 rows, 3 added)" in out, out + err)
    survey = os.path.join(work, "survey.csv")
    with open(survey, "w", encoding="utf-8", newline="") as f:
        writer = csv.writer(f)
        writer.writerow(["well", "md", "inclination", "azimuth"])
        for md in (0, 100, 200):
            writer.writerow([WELL, md, md / 50.0, 45])
    code, out, err = run("import-deviation", db, survey)
    check("import-deviation", code == 0 and "surveys of 1 well imported (3 rows, 1 added)" in out,
          out + err)

    rows, parsed = listing("wells", db)
    check("wells csv: names intact", sorted(r["WellName"] for r in rows) == sorted([WELL, OTHER]),
          rows)
    check("wells json: names intact, numbers as numbers",
          sorted(w["WellName"] for w in parsed) == sorted([WELL, OTHER])
          and all(w["WellDepth"] is None and isinstance(w["Kb"], (int, float)) for w in parsed),
          parsed)

    rows, parsed = listing("info", db)
    check("info csv and json agree on the wells",
          [r["rows"] for r in rows if r["table"] == "w_well_data"] == ["2"]
          and [r["rows"] for r in parsed if r["table"] == "w_well_data"] == [2], parsed)

    rows, parsed = listing("curves", db, WELL)
    check("curves csv", [r["Curve"] for r in rows] == ["DEPT", "GR", "RT"]
          and rows[2]["Unit"] == "OHMM" and rows[1]["DepthCurve"] == "DEPT", rows)
    check("curves json", [c["Samples"] for c in parsed] == [400, 400, 400]
          and parsed[1]["Min"] == -2324 and parsed[0]["NullValue"] == -999.25, parsed)

    rows, parsed = listing("markers", db, WELL)
    check("markers csv: names with commas, quotes, blanks and umlauts intact",
          [r["Marker"] for r in rows] == MARKERS
          and rows[0]["Description"] == "desc, " + MARKERS[0], rows)
    check("markers json", [m["Marker"] for m in parsed] == MARKERS and parsed[1]["Top"] == 1060,
          parsed)

    rows, parsed = listing("survey", db, WELL)
    check("survey", [r["Md"] for r in rows] == ["0", "100", "200"]
          and [s["Md"] for s in parsed] == [0, 100, 200] and parsed[2]["Tvd"] > 0, (rows, parsed))

    # Beside the project: one with wells and no header, one with a header and
    # no wells, both named awkwardly; every one is listed with its wells.
    third = os.path.join(work, "third.las")
    with open(third, "w", encoding="utf-8") as f:
        f.write(las_text(THIRD_WELL, 20))
    # Wells whose project lost its header, as an older program may leave them.
    code, out, err = run("import-las", db, "--project", HEADLESS, "--create-project", third)
    check("import-las into a new project", code == 0, err)
    damage("delete from b_project_data where ProjectName = '%s'" % HEADLESS.replace("'", "''"))
    damage("insert into b_project_data (ProjectName) values ('%s')" % EMPTY.replace("'", "''"))
    expected = sorted([(project, "yes", 2), (HEADLESS, "no", 1), (EMPTY, "yes", 0)],
                      key=lambda p: p[0].encode())
    rows, parsed = listing("projects", db)
    check("projects csv: every project, its header and wells",
          [(r["Project"], r["Header"], int(r["Wells"])) for r in rows] == expected, rows)
    check("projects json: the same",
          [(p["Project"], p["Header"], p["Wells"]) for p in parsed] == expected, parsed)
    code, out, err = run("projects", db)
    check("projects table: the project without a header marked",
          code == 0 and any(HEADLESS in l and " no " in l for l in out.splitlines()), out + err)
    code, out, err = run("projects", missing_db)
    check("projects on a database that is not there: exit 1, said so",
          code == 1 and "cannot list the projects of" in err, out + err)

    rows, parsed = listing("las-info", las, other)
    curves = [(r["Mnemonic"], r["Unit"]) for r in rows if r["Section"] == "curve" and r["File"] == las]
    check("las-info lists the curves with units",
          curves == [("DEPT", "M"), ("GR", "GAPI"), ("RT", "OHMM")], rows)
    depth = {r["Mnemonic"]: r["Value"] for r in parsed if r["Section"] == "depth" and r["File"] == las}
    check("las-info tells the depth range and step",
          depth.get("from") == 1000 and depth.get("to") == 1199.5 and depth.get("step") == 0.5,
          depth)
    check("las-info names the well the import would make",
          any(r["Section"] == "import" and r["Mnemonic"] == "WellName" and r["Value"] == WELL
              for r in parsed)
          and any(r["Mnemonic"] == "Well_EW" and r["Value"] == 512430 for r in parsed)
          and any(r["Mnemonic"] == "WellDepth" and r["Value"] is None for r in parsed), parsed)
    code, out, err = run("las-info", os.path.join(work, "none.las"))
    check("las-info on a missing file exits 1", code == 1 and "none.las" in err, err)

    code, out, err = run("export-csv", db, WELL, "-o", "-", "--depth", "1010:1019.5")
    rows = list(csv.reader(io.StringIO(out)))
    check("export-csv -o -: depth first, the curves as columns, the depths asked",
          code == 0 and rows[0] == ["DEPT", "GR", "RT"] and len(rows) == 21
          and rows[1][0] == "1010" and "20 depth steps" in err, out[:200] + err)
    code, out, err = run("export-las", db, WELL, "-o", "-", "--depth", "1100:1110")
    data = out.split("~A")[-1].splitlines()[1:]
    check("export-las -o - --depth", code == 0 and "21 depth steps" in err and len(data) == 21
          and float(data[0].split()[0]) == 1100, err)

    # The plot: well-formed, a log track for RT, ranges robust or as given.
    code, out, err = run("plot", db, WELL, "-o", "-")
    try:
        svg = ET.fromstring(out)
    except ET.ParseError as error:
        check("plot -o - writes well-formed SVG", False, error)
        svg = ET.fromstring("<svg/>")
    ns = "{http://www.w3.org/2000/svg}"
    tracks = {g.get("data-curve"): g for g in svg.iter(ns + "g") if g.get("class") == "track"}
    check("plot: one track per curve", sorted(tracks) == ["GR", "RT"], sorted(tracks))
    rt = tracks.get("RT", ET.Element("g"))
    gr = tracks.get("GR", ET.Element("g"))
    decades = [l.get("data-value") for l in rt.iter(ns + "line") if l.get("class") == "decade"]
    check("plot: resistivity on a logarithmic track with decade lines",
          rt.get("data-scale") == "logarithmic" and rt.get("data-min") == "1"
          and rt.get("data-max") == "1000" and decades == ["1", "10", "100", "1000"],
          (rt.attrib, decades))
    check("plot: the outlier does not set the gamma-ray range",
          gr.get("data-scale") == "linear" and float(gr.get("data-min", "-1e9")) > 0, gr.attrib)
    markers = [l.get("data-marker") for l in svg.iter(ns + "line") if l.get("class") == "marker"]
    check("plot: every marker, by name", markers == MARKERS, markers)
    axis = [g for g in svg.iter(ns + "g") if g.get("class") == "depth-axis"]
    check("plot: the depth axis names its unit",
          axis and axis[0].get("data-unit") == "M"
          and any(t.text == "Depth (M)" for t in axis[0].iter(ns + "text")))
    code, out, err = run("plot", db, WELL, "-o", "-", "--scale", "GR=0:150,RT=0.2:2000",
                         "--depth", "1050:1100")
    svg = ET.fromstring(out) if code == 0 else ET.fromstring("<svg/>")
    scales = {g.get("data-curve"): (g.get("data-min"), g.get("data-max"))
              for g in svg.iter(ns + "g") if g.get("class") == "track"}
    check("plot --scale and --depth", scales == {"GR": ("0", "150"), "RT": ("0.2", "2000")}
          and svg.get("data-shallowest") == "1050" and svg.get("data-deepest") == "1100",
          (scales, svg.attrib, err))

    # Exit codes: an empty well, an unknown well, a damaged project.
    code, out, err = run("markers", db, OTHER)
    check("markers of a well without markers: exit 0", code == 0 and "has no markers" in out, err)
    code, out, err = run("markers", db, OTHER, "--format", "json")
    check("... and an empty json list", code == 0 and json.loads(out) == [], out)
    code, out, err = run("curves", db, "Nowhere")
    check("curves of an unknown well: exit 1, said so",
          code == 1 and "there is no well Nowhere" in err, out + err)

    code, out, err = run("delete-curve", db, WELL, "DEPT")
    check("delete-curve refuses a depth curve in use", code == 1 and "depth curve of 2 other curves"
          in err, err)
    code, out, err = run("delete-curve", db, WELL, "GR")
    rows, parsed = listing("curves", db, WELL)
    check("delete-curve says what it deletes and deletes it",
          code == 0 and "Deleting curve GR of well %s (400 samples)" % WELL in out
          and [c["Curve"] for c in parsed] == ["DEPT", "RT"], out + err)
    code, out, err = run("delete-well", db, OTHER, "--project", "Elsewhere")
    rows, parsed = listing("curves", db, OTHER)
    check("delete-well in the wrong project deletes nothing",
          code == 1 and "is not in project Elsewhere: nothing deleted" in err and len(parsed) == 3,
          out + err)
    code, out, err = run("delete-well", db, OTHER)
    check("delete-well says what it deletes",
          code == 0 and "its header in project %s, 3 curves, 0 markers, no deviation survey"
          % project in out, out + err)
    rows, parsed = listing("wells", db)
    check("... and the well is gone", [w["WellName"] for w in parsed] == [WELL], parsed)

    damage("drop table w_log_data")
    code, out, err = run("curves", db, WELL)
    check("curves on a damaged project: exit 1 with the reason",
          code == 1 and "cannot read the curves" in err and "w_log_data" in err, out + err)

    # The check as a script reads it: the project without a header, the missing
    # table and the well of the awkward name, from json.
    damage("insert into w_marker_data (WellName, MarkerName) values ('%s', '%s')"
           % (HEADLESS.replace("'", "''"), MARKERS[0].replace("'", "''")))
    code, out, err = run("check", db, "--format", "json")
    found = json.loads(out) if code == 1 else []
    check("check lists each problem in json, names intact", code == 1 and all(
        problem in [{k: f[k] for k in ("problem", "table", "well", "name")} for f in found] for
        problem in [
            {"problem": "missing table", "table": "w_log_data", "well": None, "name": None},
            {"problem": "well in no project header", "table": "w_well_data",
             "well": THIRD_WELL, "name": HEADLESS},
            {"problem": "rows of a well without header", "table": "w_marker_data",
             "well": HEADLESS, "name": MARKERS[0]}]), out + err)
    code, out, err = run("check", db, "--fix")
    code, out, err = run("check", db, "--format", "json")
    check("check --fix removes the rows of the well without a header and nothing else",
          code == 1 and json.loads(out) == [f for f in found
                                            if f["problem"] != "rows of a well without header"],
          out + err)
    code, out, err = run("check", missing_db)
    check("check of a database that is not there: exit 2 with the reason",
          code == 2 and out == "" and err.startswith("strataloom: check: "), out + err)



with tempfile.TemporaryDirectory() as work:
    print("-- on a project file, named by its folder")
    code, out, err = run("create-project", work, "Field")
    check("create-project", code == 0, err)
    folder = os.path.join(work, "Field")  # the project folder stands for its database

    def damage_file(sql):
        with sqlite3.connect(os.path.join(folder, "Field.mdb")) as db:
            db.execute(sql)

    absent = os.path.join(work, "Absent", "Absent.mdb")
    check_engine(work, folder, "Field", damage_file, absent)
    check("... and the project file asked for is not made", not os.path.exists(absent))

    server = os.environ.get("STRATALOOM_TEST_SERVER")
    if server:
        print("-- on the server")
        name = "Field_%d" % os.getpid()
        code, out, err = run("create-project", name, "--server", server)
        check("create-project --server", code == 0, err)
        connect = out.split(": ", 1)[1].strip() if code == 0 else ""
        try:
            check_engine(work + "/server", connect, name,
                         lambda sql: subprocess.run(["psql", "-q", connect, "-c",
                                                     "SET client_encoding TO 'UTF8'", "-c", sql],
                                                    check=True, capture_output=True),
                         server.replace("dbname=postgres", "dbname=absent_%d" % os.getpid()))
        finally:
            subprocess.run(["psql", "-q", server, "-c", "DROP DATABASE IF EXISTS " + name],
                           capture_output=True)

print("%d failed" % len(failures))
sys.exit(1 if failures else 0)
