"""Threads: loads and saves from several threads at once, and the GIL
released while the module works."""

import threading
import time

import numpy as np
import pandas as pd

WELLS = 8
SAMPLES = 20000


def seed(project, prefix):
    names = ["%s_%d" % (prefix, i) for i in range(WELLS)]
    depth = pd.Index(np.arange(SAMPLES, dtype="float64"), name="DEPT")
    for i, name in enumerate(names):
        project.save_curves(name, pd.DataFrame({"A": depth + i, "B": depth * i}, index=depth))
    return names


def run_threads(count, work):
    errors = []

    def guarded(k):
        try:
            work(k)
        except Exception as error:  # reported by the main thread
            errors.append(error)

    threads = [threading.Thread(target=guarded, args=(k,)) for k in range(count)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    assert not errors, errors


def test_threads_load_and_save_at_once(project, well_name):
    names = seed(project, well_name)

    def work(k):
        for round in range(3):
            for i, name in enumerate(names):
                frame = project.well(name).curves()
                assert frame["A"].iloc[-1] == SAMPLES - 1 + i
                np.testing.assert_array_equal(frame["B"].to_numpy(), frame.index.to_numpy() * i)
            mine = "%s_t%d" % (well_name, k)
            project.save_curves(mine, pd.DataFrame({"K": [k, round, 1.0]},
                                                   index=pd.Index([1.0, 2.0, 3.0], name="DEPT")),
                                replace=True)
            assert project.well(mine).curves()["K"].tolist() == [k, round, 1.0]

    run_threads(4, work)


def test_the_gil_is_released_during_database_calls(project, well_name):
    """While one thread loads many wells in one call, another thread keeps
    running Python: its longest pause stays well below the call's length."""
    names = seed(project, well_name) * 30
    done = threading.Event()
    took = []

    def load():
        start = time.perf_counter()
        project.curves(wells=names)
        took.append(time.perf_counter() - start)
        done.set()

    loader = threading.Thread(target=load)
    longest = 0.0
    last = time.perf_counter()
    loader.start()
    while not done.is_set():
        now = time.perf_counter()
        longest = max(longest, now - last)
        last = now
    loader.join()
    assert longest < took[0] / 2, (longest, took[0])
