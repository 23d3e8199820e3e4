"""Failures: the module's reasons as strataloom.Error, bad input as
ValueError before anything is written."""

import os
import warnings

import numpy as np
import pandas as pd
import pytest

import strataloom
from conftest import LAS_DIR, host


def curves(values, depths=(1.0, 2.0, 3.0), name="GR"):
    return pd.DataFrame({name: values}, index=pd.Index(list(depths), name="DEPT"))


@pytest.fixture
def stored(project, well_name):
    """A well with curves and markers, to check that refused saves leave them."""
    project.save_curves(well_name, curves([1.0, 2.0, 3.0]))
    project.save_markers(well_name, pd.DataFrame({"MarkerName": ["M"], "TopDepth": [1.5]}))
    return project.well(well_name)


def unchanged(well):
    np.testing.assert_array_equal(well.curves()["GR"].to_numpy(), [1.0, 2.0, 3.0])
    assert well.markers["MarkerName"].tolist() == ["M"]


@pytest.mark.parametrize("frame, message", [
    (curves(["a", "b", "c"]), "curve GR must hold numbers, not values of dtype object"),
    (curves([1.0, 2.0, 3.0], depths=(1.0, 3.0, 2.0)), r"DEPT is not sorted: row 2 \(2.0\)"),
    (curves([1.0, 2.0, 3.0], depths=(1.0, np.nan, 2.0)), "not finite"),
    (curves([1.0, 2.0], depths=(1.0, 2.0)), "2 depth steps: expected at least 3"),
    (curves([1.0, 2.0, 3.0], name="G.R"), "cannot carry this name or unit: 'G.R.'"),
    (pd.DataFrame(index=pd.Index([1.0, 2.0, 3.0], name="DEPT")), "no curves"),
])
def test_bad_curves_are_refused_before_anything_is_written(project, stored, frame, message):
    with pytest.raises(ValueError, match=message):
        project.save_curves(stored, frame.rename(columns={"GR": "GR"}))
    unchanged(stored)


def test_mismatched_lengths_and_bad_units(project, stored):
    with pytest.raises(ValueError, match="same length"):
        project.save_curves(stored, {"GR": [1.0, 2.0, 3.0], "SP": [1.0, 2.0]})
    with pytest.raises(ValueError, match="units of curves not saved: XX"):
        project.save_curves(stored, curves([4.0, 5.0, 6.0]), units={"XX": "m"})
    with pytest.raises(ValueError, match="unit"):
        project.save_curves(stored, curves([4.0, 5.0, 6.0]), units={"GR": "a b"})
    with pytest.raises(ValueError, match="stores its curves with the null value -999.25, not -1"):
        project.save_curves(stored, curves([4.0, 5.0, 6.0]), null=-1)
    with pytest.raises(ValueError, match="rows of other wells than .*: W9"):
        project.save_markers(stored, pd.DataFrame({"WellName": ["W9"], "MarkerName": ["A"],
                                                   "TopDepth": [1.0]}))
    unchanged(stored)


@pytest.mark.parametrize("kind, frame, message", [
    ("markers", {"MarkerName": ["A"], "TopDepth": ["deep"]}, "TopDepth must hold numbers"),
    ("markers", {"MarkerName": ["A"], "TopDepth": [np.inf]}, "not a finite number"),
    ("markers", {"MarkerName": [3], "TopDepth": [1.0]}, "MarkerName must hold text, not int"),
    ("markers", {"MarkerName": ["A"], "Top": [1.0]}, "unknown column Top; the columns are"),
    ("cores", {"CoreName": ["C"], "Color": [1.5]}, "Color must hold integers"),
])
def test_bad_records_are_refused_before_anything_is_written(project, stored, kind, frame,
                                                            message):
    with pytest.raises(ValueError, match=message):
        if kind == "markers":
            project.save_records(stored, kind, pd.DataFrame(frame))
        else:
            project.save_records(stored, kind, pd.DataFrame(frame))
    unchanged(stored)


@pytest.mark.parametrize("frame, message", [
    ({"Md": [0.0, 20.0, 10.0], "Inclination": [0.0] * 3, "Azimuth": [0.0] * 3}, "not sorted"),
    ({"Md": [0.0, 10.0], "Inclination": [0.0] * 2, "Azimuth": [0.0] * 2}, "2 stations"),
    ({"Md": [0.0, 10.0, 20.0], "Azimuth": [0.0] * 3}, "missing columns: Inclination"),
    ({"Md": [0.0, 10.0, 20.0], "Inclination": [0.0] * 3, "Azimuth": [0.0] * 3,
      "Dogleg": [0.0] * 3}, "unknown columns Dogleg"),
])
def test_bad_surveys_are_refused(project, stored, frame, message):
    with pytest.raises(ValueError, match=message):
        project.save_survey(stored, pd.DataFrame(frame))
    assert len(stored.survey) == 0


def test_module_failures_raise_error_with_the_reason(project, stored, tmp_path):
    with pytest.raises(strataloom.Error, match="no well NOPE"):
        project.well("NOPE")
    with pytest.raises(strataloom.Error, match="has no curve XX"):
        stored.curves(["XX"])
    with pytest.raises(strataloom.Error, match="has no curve XX"):
        stored.curve("XX")
    with pytest.raises(strataloom.Error, match="has no depth curve D9"):
        stored.curves(depth="D9")
    with pytest.raises(strataloom.Error, match="no project database at"):
        strataloom.open(tmp_path / "none.mdb")
    broken = tmp_path / "broken.mdb"
    broken.write_bytes(b"not a database at all" * 100)
    with pytest.raises(strataloom.Error, match="cannot open the project database"):
        strataloom.open(broken)
    with pytest.raises(strataloom.Error, match="expected"):
        project.import_las([os.path.join(LAS_DIR, "sample_3.0.las")])
    # The other files of a failing import are imported all the same.
    with pytest.raises(strataloom.Error) as failed:
        project.import_las([os.path.join(LAS_DIR, "not_a_las_file.las"),
                            os.path.join(LAS_DIR, "sample_2.0_based.las")])
    assert [r["ok"] for r in failed.value.results] == [False, True]
    assert isinstance(failed.value, strataloom.Error) and type(failed.value).__module__ == "strataloom"
    # Curves over other depths are kept beside the stored ones, which stay.
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        project.save_curves(stored, curves([4.0, 5.0, 6.0], depths=(1.0, 2.0, 4.0), name="SP"))
    unchanged(stored)


def test_a_closed_project_refuses_calls(shared_db):
    with strataloom.open(os.path.dirname(shared_db) if not strataloom._native.is_server(shared_db)
                         else shared_db) as project:
        assert project.projects() is not None
    with pytest.raises(strataloom.Error, match="is closed"):
        project.wells


def test_writes_into_an_unknown_project_are_refused_unless_it_is_made(databases):
    """import_las and save_curves put wells into the project only when the
    database knows it, as import-las does; create_project makes it, in the
    depth unit asked for. A refusal stores nothing."""
    db = databases.make()
    las = os.path.join(LAS_DIR, "sample_2.0_based.las")
    frame = curves([1.0, 2.0, 3.0], depths=(100.0, 100.5, 101.0))
    with strataloom.open(db, project="Elsewhere") as project:
        with pytest.raises(strataloom.Error,
                           match="project Elsewhere is not in .*create_project=True"):
            project.import_las([las])
        with pytest.raises(strataloom.Error, match="project Elsewhere is not in"):
            project.save_curves("E-1", frame)
        with pytest.raises(ValueError, match="depth_unit is chosen when a project is made"):
            project.import_las([las], depth_unit="ft")
        with pytest.raises(ValueError, match="depth_unit takes m or ft, not fathoms"):
            project.save_curves("E-1", frame, create_project=True, depth_unit="fathoms")
        assert "Elsewhere" not in project.projects() and project.header is None
        with strataloom.open(db) as home:
            assert home.wells.empty
        with pytest.raises(strataloom.Error, match="no well E-1"):
            project.well("E-1")

        with warnings.catch_warnings():
            warnings.simplefilter("ignore")
            project.save_curves("E-1", frame, units={"DEPT": "FT"}, create_project=True,
                                depth_unit="ft")
            (result,) = project.import_las([las], create_project=True)  # known now: no effect
        assert project.header["ProjectName"] == "Elsewhere"
        assert sorted(project.wells.index) == sorted(["E-1", result["well"]])
        # Depths in feet stay feet in a project made in feet.
        np.testing.assert_array_equal(project.well("E-1").curves().index, [100.0, 100.5, 101.0])
    assert host("export-las", db, "E-1").stdout.count("DEPT.FT") == 1
