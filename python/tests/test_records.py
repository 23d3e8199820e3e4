"""Round trips of the records the package shows as DataFrames: well and
project headers, markers, surveys and the well-bore family."""

import numpy as np
import pandas as pd
import pytest

import strataloom


def project_well(project, name):
    """Makes a well with a header (through a curve save) and returns its name."""
    frame = pd.DataFrame({"GR": [1.0, 2.0, 3.0]}, index=pd.Index([1.0, 2.0, 3.0], name="DEPT"))
    project.save_curves(name, frame)
    return name


def sample_like(empty, rows=3):
    """Rows of the record an empty DataFrame shows, with a distinct value in
    every field of the field's own dtype (float32 fields get values float32
    holds exactly, characters one character)."""
    columns = {}
    for k, name in enumerate(empty.columns):
        dtype = empty[name].dtype
        if dtype.kind == "f":
            columns[name] = (1000.0 + 10.0 * np.arange(rows) + k * 0.25).astype(dtype)
        elif dtype.kind == "i":
            columns[name] = (np.arange(rows) * 7 - k).astype(dtype)
        else:
            columns[name] = ["%s %d é" % (name, i) for i in range(rows)]
    return pd.DataFrame(columns)


@pytest.mark.parametrize("kind", sorted(strataloom.RECORD_KINDS))
def test_each_kind_of_record_round_trips(project, well_name, kind):
    well = project.well(project_well(project, well_name))
    empty = well.records(kind)
    assert list(empty.columns) == list(strataloom.RECORD_KINDS[kind]) and len(empty) == 0
    frame = sample_like(empty)
    project.save_records(well, kind, frame)
    loaded = well.records(kind)
    pd.testing.assert_frame_equal(loaded, frame, check_exact=True)
    # An empty DataFrame takes the well's records away.
    project.save_records(well, kind, frame.iloc[:0])
    assert len(well.records(kind)) == 0


def test_markers_round_trip_by_top_depth(project, well_name):
    well = project.well(project_well(project, well_name))
    markers = pd.DataFrame({"MarkerName": ["B", "A", "C"], "TopDepth": [1200.5, 1100.0, 1300.0],
                            "BottomDepth": [1250.0, 1150.0, 1290.0],
                            "Description": ["", "top sand", None]})
    with pytest.warns(UserWarning, match="marker C of well .* bottom above its top"):
        project.save_markers(well, markers)
    loaded = well.markers
    expected = markers.fillna("").sort_values("TopDepth", ignore_index=True)
    pd.testing.assert_frame_equal(loaded, expected, check_exact=True)
    project.save_markers(well, markers[["MarkerName", "TopDepth"]].iloc[:1])
    assert well.markers.to_dict("records") == [
        {"MarkerName": "B", "TopDepth": 1200.5, "BottomDepth": 1200.5, "Description": ""}]


def test_survey_round_trips_and_is_completed_by_minimum_curvature(project, well_name):
    project_well(project, well_name)
    full = pd.DataFrame({
        "Md": [0.0, 100.0, 200.0, 300.0], "Inclination": [0.0, 0.0, 10.0, 20.0],
        "Azimuth": [0.0, 0.0, 90.0, 90.0], "Xoffset": [0.0, 0.0, 8.7, 34.5],
        "Yoffset": [0.0, 0.0, 0.0, 0.0], "Tvd": [0.0, 100.0, 199.5, 297.5],
        "Xcoor": [5.0, 5.0, 13.7, 39.5], "Ycoor": [7.0] * 4, "Tvdss": [-10.0, 90.0, 189.5, 287.5]})
    project.save_survey(well_name, full)
    pd.testing.assert_frame_equal(project.well(well_name).survey, full, check_exact=True)

    # Md, inclination and azimuth alone: the path by minimum curvature. A
    # vertical hole goes straight down; a hole building to 90 degrees over
    # a quarter circle of radius r ends r east and r down.
    r = 200.0 / np.pi * 2
    stations = pd.DataFrame({"Md": [0.0, 100.0, 100.0 + np.pi * r / 2],
                             "Inclination": [0.0, 0.0, 90.0], "Azimuth": [90.0, 90.0, 90.0],
                             "Xcoor": [1.0, 1.0, 1.0], "Ycoor": [2.0, 2.0, 2.0],
                             "Tvdss": [0.0, 0.0, 0.0]})
    project.save_survey(well_name, stations)
    survey = project.well(well_name).survey
    np.testing.assert_allclose(survey["Tvd"], [0.0, 100.0, 100.0 + r], atol=1e-9)
    np.testing.assert_allclose(survey["Xoffset"], [0.0, 0.0, r], atol=1e-9)
    np.testing.assert_allclose(survey["Yoffset"], [0.0, 0.0, 0.0], atol=1e-9)


def test_survey_without_coordinates_needs_a_placed_header(project, well_name):
    project_well(project, well_name)  # a header without surface coordinates
    stations = pd.DataFrame({"Md": [0.0, 50.0, 100.0], "Inclination": [0.0, 1.0, 2.0],
                             "Azimuth": [0.0, 0.0, 0.0]})
    with pytest.raises(strataloom.Error, match="has no surface coordinates in its header"):
        project.save_survey(well_name, stations)
    assert len(project.well(well_name).survey) == 0


def test_wells_and_project_header(databases):
    db = databases.make()
    with strataloom.open(db, project="North") as project:
        assert project.wells.empty and project.header is None
        for name in ("N-2", "N-1"):
            project.save_curves(name, pd.DataFrame({"GR": [1.0, 2.0, 3.0]},
                                                   index=pd.Index([1.0, 2.0, 3.0], name="DEPT")),
                                create_project=True)
        wells = project.wells
        assert list(wells.index) == ["N-1", "N-2"] and wells.index.name == "WellName"
        assert list(wells.columns) == ["WellType", "Well_SN", "Well_EW", "WellFlag",
                                       "WellSymbol", "Kb", "Ekb", "WellDepth"]
        assert wells["Well_EW"].isna().all() and (wells["WellFlag"] == "1").all()
        assert project.well("N-1").header["WellName"] == "N-1"
        assert project.header["ProjectName"] == "North"
        assert "North" in project.projects()
