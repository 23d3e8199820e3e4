"""Loading curves into DataFrames against the C++ LoadWellData of the same wells.

    PYTHONPATH=build/python /usr/bin/python3 python/bench/bench_curves.py [--server CONN]

Seeds a project of WELLS wells x CURVES curves x SAMPLES samples (by default
100 x 20 x 10,000) and times, in alternating rounds on the same data:

- one well: ``Well.curves()`` (every curve into a DataFrame) against the
  module's ``ILogData::LoadWellData`` called from C++;
- the project: ``Project.curves()`` (a DataFrame per well) against
  ``LoadWellData`` of every well from C++.

Prints the median round's CPU time of the calling thread and wall time of
each side and their ratio; the goal is a CPU ratio of at most 1.2. With
--server CONN (a key=value connection string of a maintenance database) the
same runs on a server database made for the run and dropped after it.
"""

import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
import uuid

import numpy as np
import pandas as pd

import strataloom
from strataloom import _native


def build_dir():
    """The build tree the package was imported from."""
    return os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(strataloom.__file__))))


def make_file_project(folder):
    template = os.path.join(build_dir(), "share", "strataloom", "template", "Projects.mdb")
    os.makedirs(os.path.join(folder, "Bench"))
    path = os.path.join(folder, "Bench", "Bench.mdb")
    shutil.copyfile(template, path)
    return path


def make_server_project(server):
    name = "bench_" + uuid.uuid4().hex[:8]
    host = os.path.join(build_dir(), "bin", "strataloom")
    subprocess.run([host, "create-project", name, "--server", server], check=True,
                   stdout=subprocess.DEVNULL)
    return name, server.replace("dbname=postgres", "dbname=" + name)


def drop_server_project(server, name):
    time.sleep(3.5)  # the module closes idle connections after 3 s
    subprocess.run(["psql", server, "-q", "-c", "drop database if exists %s with (force)" % name],
                   check=False)


def seed(project, wells, curves, samples):
    rng = np.random.default_rng(7)
    depth = pd.Index(1000.0 + 0.125 * np.arange(samples), name="DEPT")
    names = ["W%03d" % i for i in range(wells)]
    for well in names:
        frame = pd.DataFrame({"C%02d" % c: rng.normal(size=samples) for c in range(curves - 1)},
                             index=depth)
        project.save_curves(well, frame, units={"DEPT": "M"}, null=-999.25, create_project=True)
    return names


def median_rounds(rounds, sides):
    """Runs each side once per round, alternating; the median (cpu, wall) of each."""
    times = {name: ([], []) for name in sides}
    for _ in range(rounds):
        for name, run in sides.items():
            wall = time.perf_counter()
            cpu = run()
            times[name][0].append(cpu)
            times[name][1].append(time.perf_counter() - wall)
    return {name: (statistics.median(c), statistics.median(w)) for name, (c, w) in times.items()}


def python_side(load, repeat):
    def run():
        start = time.thread_time()
        for _ in range(repeat):
            load()
        return time.thread_time() - start
    return run


def cxx_side(connect, wells, repeat):
    def run():
        return sum(_native.time_load_well_data(connect, wells, repeat))
    return run


def bench(engine, connect, args):
    project = strataloom.open(connect, project="Bench")
    wells = seed(project, args.wells, args.curves, args.samples)
    one = project.well(wells[0])
    assert one.curves().shape == (args.samples, args.curves - 1)
    repeat = args.repeat
    rows = []
    single = median_rounds(args.rounds, {
        "python": python_side(one.curves, repeat),
        "c++": cxx_side(connect, [wells[0]], repeat)})
    rows.append(("%s one well, Well.curves()" % engine, "%dx%d" % (args.curves, args.samples),
                 single, repeat))
    whole = median_rounds(args.rounds, {
        "python": python_side(project.curves, 1),
        "c++": cxx_side(connect, wells, 1)})
    rows.append(("%s project, Project.curves()" % engine,
                 "%dx%dx%d" % (args.wells, args.curves, args.samples), whole, 1))
    project.close()
    return rows


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--server", help="connection string of a server's maintenance database")
    parser.add_argument("--wells", type=int, default=100)
    parser.add_argument("--curves", type=int, default=20, help="curves per well, depth included")
    parser.add_argument("--samples", type=int, default=10000)
    parser.add_argument("--rounds", type=int, default=11)
    # A round of one well's loads is long enough (about 15 ms) that the
    # machine's hiccups do not decide a round's time.
    parser.add_argument("--repeat", type=int, default=100, help="loads of the one well per round")
    args = parser.parse_args()

    rows = []
    with tempfile.TemporaryDirectory() as folder:
        rows += bench("sqlite", make_file_project(folder), args)
    if args.server:
        name, connect = make_server_project(args.server)
        try:
            rows += bench("server", connect, args)
        finally:
            drop_server_project(args.server, name)

    print("strataloom %s, pandas %s, numpy %s, python %s" % (
        strataloom.__version__, pd.__version__, np.__version__, sys.version.split()[0]))
    print("median of %d rounds; ms per load; cpu: the calling thread" % args.rounds)
    print("%-36s %-12s %9s %9s %9s %9s %7s %7s" % (
        "case", "size", "py cpu", "py wall", "c++ cpu", "c++ wall", "cpu x", "wall x"))
    reached = True
    for case, size, times, repeat in rows:
        (pc, pw), (cc, cw) = times["python"], times["c++"]
        ratio = pc / cc
        reached = reached and ratio <= 1.2
        print("%-36s %-12s %9.2f %9.2f %9.2f %9.2f %7.2f %7.2f" % (
            case, size, 1e3 * pc / repeat, 1e3 * pw / repeat, 1e3 * cc / repeat,
            1e3 * cw / repeat, ratio, pw / cw))
    print("goal: cpu x <= 1.2 in every case: %s" % ("reached" if reached else "NOT reached"))
    print("uptime:", subprocess.run(["uptime"], capture_output=True, text=True).stdout.strip())


if __name__ == "__main__":
    main()
