"""Log curves: the real LAS files of the test suite as the host program
imports them, curves saved from DataFrames, and LAS export."""

import glob
import os
import warnings

import numpy as np
import pandas as pd
import pytest

import strataloom
from conftest import LAS_DIR, host

LAS_FILES = sorted(glob.glob(os.path.join(LAS_DIR, "*.las")))


def read_exported(text):
    """Curve names, units and values of a LAS 2.0 file the host program
    wrote (one line per depth step), nulls as NaN."""
    section = None
    names, units, rows, null = [], [], [], None
    for line in text.splitlines():
        if line.startswith("~"):
            section = line[1].upper()
            continue
        if not line.strip() or line.startswith("#"):
            continue
        if section == "W" and line.split(".")[0].strip() == "NULL":
            null = float(line.split(".", 1)[1].split(":")[0].split()[0])
        elif section == "C":
            mnemonic, rest = line.split(".", 1)
            names.append(mnemonic.strip())
            units.append(rest.split(" ", 1)[0] if not rest.startswith(" ") else "")
        elif section == "A":
            rows.append([float(v) for v in line.split()])
    values = np.array(rows, dtype="float64").reshape(-1, len(names))
    values[:, 1:][values[:, 1:] == null] = np.nan
    return names, units, values


def frames_equal(a, b):
    pd.testing.assert_frame_equal(a, b, check_exact=True)
    assert a.attrs == b.attrs


def test_las_files_read_as_the_host_program_imports_them(databases):
    """Every LAS file of the suite, imported by the host program and by
    import_las into two databases in the same order: the same wells, the
    same DataFrames, equal to the host program's export of its import; the
    files it refuses are refused with its message."""
    by_host, by_python = databases.make(), databases.make()
    checked = 0
    with strataloom.open(by_host, project="P") as a, strataloom.open(by_python, project="P") as b:
        for path in LAS_FILES:
            imported = host("import-las", by_host, "--project", "P", "--create-project", path,
                            check=False)
            with warnings.catch_warnings():
                warnings.simplefilter("ignore")
                if imported.returncode != 0:
                    with pytest.raises(strataloom.Error) as refused:
                        b.import_las(path, create_project=True)
                    assert str(refused.value) in imported.stderr
                    continue
                result = b.import_las(path, create_project=True)[0]
            well = result["well"]
            assert "well " + well + "," in imported.stdout
            with warnings.catch_warnings():
                warnings.simplefilter("ignore")  # curves of other depth curves left out
                frame = a.well(well).curves()
                frames_equal(frame, b.well(well).curves())
            exported = host("export-las", by_host, well).stdout
            names, units, values = read_exported(exported)
            # A repeated mnemonic is stored as GR:1 and written back as it came.
            stored = [frame.index.name] + list(frame.columns)
            assert [name.split(":")[0] for name in stored] == names
            assert [frame.attrs["units"][n] for n in stored] == units
            np.testing.assert_array_equal(frame.index.to_numpy(), values[:, 0])
            np.testing.assert_array_equal(frame.to_numpy(), values[:, 1:])
            checked += 1
        assert list(a.wells.index) == list(b.wells.index)
    assert checked >= 10


def test_sample_file_values_units_and_nulls(project):
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        project.import_las([os.path.join(LAS_DIR, "null_policy_-999.25.las")])
        (result,) = project.import_las(os.path.join(LAS_DIR, "sample_2.0.las"))
    frame = project.well(result["well"]).curves()
    assert frame.index.name == "DEPT"
    assert list(frame.index) == [1670.0, 1669.875, 1669.75]
    assert frame.attrs["units"] == {"DEPT": "M", "DT": "US/M", "RHOB": "K/M3", "NPHI": "V/V",
                                    "SFLU": "OHMM", "SFLA": "OHMM", "ILM": "OHMM", "ILD": "OHMM"}
    assert frame.loc[1670.0, "RHOB"] == 2550.0 and frame.loc[1670.0, "ILD"] == 105.6
    assert all(frame[c].dtype == np.float64 for c in frame.columns)


@pytest.fixture(params=["extension", "python"])
def frame_maker(request):
    """Runs a test with the DataFrames of curves made by the extension from
    pandas' classes, and made here from the parts it gives."""
    strataloom._make_frames_in_extension(request.param == "extension")
    yield request.param
    strataloom._make_frames_in_extension()


def test_curves_round_trip_with_nulls_units_and_the_depth_curve(project, well_name,
                                                                 frame_maker):
    depth = pd.Index(np.linspace(1000.0, 1010.0, 81), name="MD")
    rng = np.random.default_rng(3)
    frame = pd.DataFrame({"GR": rng.normal(80, 10, 81), "RHOB": rng.normal(2.4, 0.1, 81)},
                         index=depth)
    frame.iloc[[0, 5, 80], 0] = np.nan
    result = project.save_curves(well_name, frame, units={"MD": "m", "GR": "API"}, null=-999.0)
    assert result["header_created"]
    well = project.well(well_name)
    loaded = well.curves()
    pd.testing.assert_frame_equal(loaded, frame, check_exact=True)
    assert loaded.attrs == {"well": well_name, "null": -999.0,
                            "units": {"MD": "m", "GR": "API", "RHOB": ""}}
    # The null value is what the database stores for NaN.
    assert well.to_las().count("-999") >= 3

    gr = well.curve("GR")
    assert isinstance(gr, np.ndarray) and gr.dtype == np.float64 and gr.flags.owndata is False
    assert gr.unit == "API" and gr.name == "GR" and gr.description == ""
    np.testing.assert_array_equal(gr, frame["GR"].to_numpy())
    np.testing.assert_array_equal(gr.depth, depth.to_numpy())
    assert gr[:10].unit == "API" and gr[:10].depth is None and (gr * 2).depth is gr.depth

    # A computed curve saved back beside the others keeps every unit.
    loaded["VSH"] = (loaded["GR"] - 60) / 40
    project.save_curves(well, loaded[["VSH"]])
    again = well.curves()
    assert list(again.columns) == ["GR", "RHOB", "VSH"]
    assert again.attrs["units"] == {"MD": "m", "GR": "API", "RHOB": "", "VSH": ""}
    np.testing.assert_array_equal(again["VSH"].to_numpy(), loaded["VSH"].to_numpy())
    named = well.curves(["VSH", "GR"])  # only these curves are loaded
    pd.testing.assert_frame_equal(named, again[["VSH", "GR"]], check_exact=True)
    assert named.attrs["units"] == {"MD": "m", "VSH": "", "GR": "API"}


def test_curves_of_several_depth_curves_and_a_project_load(project, well_name, frame_maker):
    fine = pd.DataFrame({"A": np.arange(10.0), "B": np.arange(10.0) * 2},
                        index=pd.Index(np.arange(10.0), name="D1"))
    coarse = pd.DataFrame({"C": [1.0, 2.0, 3.0]}, index=pd.Index([0.0, 5.0, 10.0], name="D2"))
    project.save_curves(well_name, fine)
    project.save_curves(well_name, coarse)
    well = project.well(well_name)
    with pytest.warns(UserWarning, match="left out curve C does not take its depths from D1$"):
        assert list(well.curves().columns) == ["A", "B"]
    with pytest.warns(UserWarning, match="left out curve A .* from D2; curve B "):
        assert list(well.curves(depth="D2").columns) == ["C"]
    assert list(well.curves("C").index) == [0.0, 5.0, 10.0]
    with pytest.raises(ValueError, match="C of well .* does not take its depths from D1"):
        well.curves(["A", "C"])
    frames = project.curves(wells=[well_name], names=["B"])  # named: no warning
    assert list(frames) == [well_name] and list(frames[well_name].columns) == ["B"]
    with pytest.warns(UserWarning):
        assert well_name in project.curves()


def test_las_export_reads_back_the_same(project, well_name, tmp_path):
    frame = pd.DataFrame({"GR": [0.1, 1 / 3, np.pi, 1e-300, np.nan]},
                         index=pd.Index([1.0, 2.0, 3.0, 4.0, 5.5], name="DEPT"))
    project.save_curves(well_name, frame, units={"DEPT": "M"})
    path = tmp_path / "out.las"
    written = project.well(well_name).to_las(path)
    assert written["depth_curve"] == "DEPT" and written["rows"] == 5
    with strataloom.open(project.connect) as other:
        text = path.read_text().replace(well_name, well_name + "_again")
        path.write_text(text)
        (result,) = other.import_las([str(path)])
        again = other.well(result["well"]).curves()
    pd.testing.assert_frame_equal(again, frame, check_exact=True)


def test_frames_of_blocks_equal_the_public_constructor(project, well_name):
    """The extension's frame holds the loaded samples in one block per
    column, no copy, and equals the one pandas' public constructor makes of
    the same parts."""
    index = strataloom._depth_index(np.arange(5.0) + 10, "DEPT")
    pd.testing.assert_index_equal(index, pd.Index(np.arange(5.0) + 10, name="DEPT"))
    saved = pd.DataFrame({"A": np.arange(5.0), "B": np.arange(5.0) * 2}, index=index)
    project.save_curves(well_name, saved)
    well = project.well(well_name)
    fast = well.curves()
    blocks = fast._mgr.blocks
    assert len(blocks) == 2 and not any(block.values.flags.owndata for block in blocks)
    strataloom._make_frames_in_extension(False)
    try:
        public = well.curves()
    finally:
        strataloom._make_frames_in_extension()
    pd.testing.assert_frame_equal(fast, public, check_exact=True)
    assert fast.attrs == public.attrs


def test_saves_take_the_depth_unit_of_the_project(databases):
    """A project made in feet keeps feet as they are given, and takes metres
    converted, as the host program's import does."""
    db = databases.make()
    host("import-las", db, "--project", "Feet", "--create-project", "--depth-unit", "ft",
         os.path.join(LAS_DIR, "sample_2.0_based.las"))
    depths = pd.Index([100.0, 100.5, 101.0], name="DEPT")
    with strataloom.open(db, project="Feet") as project, warnings.catch_warnings():
        warnings.simplefilter("ignore")
        project.save_curves("F1", pd.DataFrame({"GR": [1.0, 2.0, 3.0]}, index=depths),
                            units={"DEPT": "FT"})
        np.testing.assert_array_equal(project.well("F1").curves().index.to_numpy(), depths)
        project.save_curves("M1", pd.DataFrame({"GR": [1.0, 2.0, 3.0]},
                                               index=pd.Index([0.3048, 0.6096, 0.9144],
                                                              name="DEPT")),
                            units={"DEPT": "M"})
        np.testing.assert_allclose(project.well("M1").curves().index.to_numpy(), [1.0, 2.0, 3.0])
