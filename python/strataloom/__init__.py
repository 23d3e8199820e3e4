"""Strataloom project databases as numpy arrays and pandas DataFrames.

    import strataloom
    with strataloom.open("/data/Field/Field.mdb") as project:
        print(project.wells)                     # one row per well
        logs = project.well("W-1").curves()      # indexed by depth, nulls as NaN

A project database is a project file (``Field.mdb``), its project folder, or
a server connection string (``host=... dbname=Field``). Every call into the
module releases the GIL, so threads overlap. A module operation that fails
raises :class:`Error` with the module's reason; bad input raises
``ValueError`` before anything is written.
"""

import os
import warnings

import numpy as np
import pandas as pd

from . import _native
from ._version import __version__

__all__ = ["Error", "open", "Project", "Well", "Curve", "RECORD_KINDS", "module_version",
           "__version__"]

Error = _native.Error
Error.__module__ = __name__
Error.__doc__ = "A module operation failed; the message carries the module's reason."

#: The kinds of per-well records, each with the columns of its DataFrame.
RECORD_KINDS = {kind: tuple(columns) for kind, columns in _native.record_kinds().items()}

# The least number of values an array of the module reads back: shorter
# curves and surveys would be stored but read back empty.
_LEAST_SAMPLES = 3
# The null value of a well that has none yet (the usual one of LAS files).
_DEFAULT_NULL = -999.25
# A well header's mark of a coordinate or depth without a value.
_NO_VALUE = -99999.0


def module_version():
    """The version of the loaded libstrataloom."""
    return _native.module_version()


def _resolve(db):
    """The connection string of db: a server string as it is, a project
    folder as the project file in it, a project file as it is."""
    db = os.fspath(db)
    if _native.is_server(db):
        return db
    path = db[len("sqlite:"):] if db.startswith("sqlite:") else db
    if os.path.isdir(path):
        named = os.path.join(path, os.path.basename(os.path.normpath(path)) + ".mdb")
        if os.path.isfile(named):
            return named
        files = sorted(f for f in os.listdir(path) if f.lower().endswith(".mdb"))
        if len(files) != 1:
            raise Error("the folder %s holds %s project files: name one"
                        % (path, len(files) or "no"))
        return os.path.join(path, files[0])
    if not os.path.isfile(path):
        raise Error("no project database at %s" % path)
    return db


def open(db, project=None):  # noqa: A001 - the package's entry point
    """Opens a project database and returns its :class:`Project`.

    db is a project file (``.../Field/Field.mdb``), a project folder
    (``.../Field``) or a server connection string (``host=... dbname=Field``
    or ``postgresql://host/Field``). project names the project whose wells
    ``Project.wells`` lists; by default the project the database is named
    after (Field in both examples). Raises :class:`Error` when the database
    does not open. Use it as a context manager to close it at the end.
    """
    connect = _resolve(db)
    _native.check_opens(connect)
    return Project(connect, project or _native.project_of_connection(connect))


def _well_name(well):
    return well.name if isinstance(well, Well) else str(well)


# The extension makes a DataFrame of curves of one block per curve, each the
# loaded samples as a row of one, from pandas' own classes where they are the
# ones pandas 1.x has (a tenth of the public constructor's cost); with any
# other pandas it gives the parts and the frame is made here through the
# public constructor.
try:
    from pandas._libs.internals import BlockPlacement as _Placement
    from pandas.core.internals.blocks import NumericBlock as _Block
    from pandas.core.internals.managers import BlockManager as _Manager
except ImportError:  # pragma: no cover - other pandas
    _Block = None

# The class of an Index of float64 values, made without checking or copying
# them (the public constructor takes twenty times as long).
_FloatIndex = type(pd.Index(np.empty(0, dtype="float64")))


def _text_index(names):
    """An Index of names (str), without pandas' inference of their type."""
    values = np.array(names, dtype=object)
    try:
        return pd.Index._simple_new(values)
    except (AttributeError, TypeError):  # pragma: no cover - other pandas
        return pd.Index(values, dtype=object)


def _depth_index(values, name):
    """An Index of the depth values as they are: no copy, no check."""
    try:
        return _FloatIndex._simple_new(values, name=name)
    except (AttributeError, TypeError):  # pragma: no cover - other pandas
        return pd.Index(values, name=name, copy=False)


def _frame(rows, names, index):
    """A DataFrame of float64 arrays of one row each, one column each,
    through pandas' public constructor."""
    frame = pd.DataFrame({i: row[0] for i, row in enumerate(rows)}, index=index, copy=False)
    frame.columns = _text_index(names)
    return frame


def _frame_of_parts(well, parts):
    """(DataFrame, curves left out) of what load_frame gives when the
    extension does not make frames itself."""
    null, depth_name, depth_values, names, rows, units, left_out = parts
    frame = _frame(rows, names, _depth_index(depth_values, depth_name))
    frame.attrs = {"well": well, "null": null, "units": units}
    return frame, left_out


def _curves_frame(well, loaded, depth=None):
    """The DataFrame of one well's curves from what load_frame gives:
    indexed by the depth curve, with units, null value and well name in its
    attrs; curves left out are issued as a warning."""
    if loaded is None:
        return pd.DataFrame(index=pd.Index([], dtype="float64", name=depth))
    frame, left_out = loaded if len(loaded) == 2 else _frame_of_parts(well, loaded)
    if left_out:
        warnings.warn("well %s: left out curve %s" % (well, "; curve ".join(left_out)),
                      stacklevel=3)
    return frame


def _make_frames_in_extension(on=True):
    """Has the extension make the DataFrames of curves from pandas' own
    classes (when this pandas has the ones it knows), or, with on false,
    give their parts to be made here."""
    if on and _Block is not None:
        from pandas.core.generic import NDFrame

        _native.use_frame_classes(_Block, _Manager, pd.DataFrame, NDFrame.__init__,
                                  _FloatIndex._simple_new, pd.Index._simple_new, _Placement)
    else:
        _native.use_frame_classes(*[None] * 7)


_make_frames_in_extension()


def _records_frame(columns):
    """A DataFrame of record columns: numbers as the arrays they come in,
    text as object columns (also when there is no row)."""
    return pd.DataFrame({name: values if isinstance(values, np.ndarray)
                         else np.array(values, dtype=object)
                         for name, values in columns.items()}, copy=False)


def _columns(df, well):
    """The columns of a DataFrame of one well's records as the module's
    fields take them: numbers as numpy arrays, text as lists. A WellName
    column may only name that well."""
    if not isinstance(df, pd.DataFrame):
        df = pd.DataFrame(df)
    df = df.reset_index(drop=True)
    if "WellName" in df.columns:
        others = sorted(set(df["WellName"]) - {well})
        if others:
            raise ValueError("rows of other wells than %s: %s" % (well, ", ".join(map(str, others))))
        df = df.drop(columns="WellName")
    columns = {}
    for name in df.columns:
        series = df[name]
        columns[str(name)] = (series.to_numpy() if series.dtype.kind in "biufc"
                              else series.tolist())
    return columns, len(df)


def _check_numbers(name, values, what):
    array = np.asarray(values)
    if array.dtype.kind not in "iuf":
        raise ValueError("%s %s must hold numbers, not values of dtype %s"
                         % (what, name, array.dtype))
    return array.astype("float64", copy=False)


def _check_ordered(name, values, what, decreasing_too=False):
    """Refuses values that are not finite or do not strictly increase (or,
    with decreasing_too, strictly decrease throughout, as LAS depths may)."""
    if len(values) and not np.all(np.isfinite(values)):
        raise ValueError("%s %s holds values that are not finite numbers" % (what, name))
    steps = np.diff(values)
    if decreasing_too and len(steps) and steps[0] < 0:
        steps = -steps
    if np.any(steps <= 0):
        at = int(np.argmax(steps <= 0)) + 1
        raise ValueError("%s %s is not sorted: row %d (%r) after %r"
                         % (what, name, at, float(values[at]), float(values[at - 1])))


def _unit_text(depth_unit):
    """The depth unit a project is made with, as the module reads it ("" for
    the default)."""
    if depth_unit is None:
        return ""
    if not isinstance(depth_unit, str):
        raise ValueError("depth_unit takes m or ft, not %r" % (depth_unit,))
    return depth_unit


def _check_rows(rows, what):
    if rows < _LEAST_SAMPLES:
        raise ValueError("%d %s: expected at least %d, the least the module reads back"
                         % (rows, what, _LEAST_SAMPLES))


class Curve(np.ndarray):
    """A curve's samples (float64, nulls as NaN), with ``name``, ``unit``,
    ``description`` (from the curve dictionary, "" without an entry),
    ``well`` and ``depth`` (the samples of its depth curve) as attributes.
    It is a view of the loaded samples: no copy is made. Arrays made from
    it keep its attributes; ``depth`` only while they keep its length."""

    def __array_finalize__(self, obj):
        for attribute in ("name", "unit", "description", "well"):
            setattr(self, attribute, getattr(obj, attribute, None))
        depth = getattr(obj, "depth", None)
        self.depth = depth if depth is not None and self.shape == obj.shape else None


class Well:
    """One well of a project: its header and its well-bore data.

    Get it from :meth:`Project.well`. Each property loads afresh from the
    database, so it shows what is stored at that moment.
    """

    def __init__(self, project, name, header):
        self._project = project
        #: The well's name.
        self.name = name
        #: The well's header as a dict of its fields.
        self.header = header

    def __repr__(self):
        return "<strataloom.Well %s of %s>" % (self.name, self._project.connect)

    @property
    def _connect(self):
        return self._project._open_connect()

    def curves(self, names=None, depth=None):
        """The well's curves as a DataFrame indexed by the depth curve, nulls
        as NaN.

        names lists the curves wanted (by default every curve of the depth
        curve). depth names the depth curve to index by; by default the one
        of the first named curve, or the one most curves use. Curves of
        another depth curve or length are left out with a warning (raise
        ``ValueError`` when named). ``frame.attrs`` holds ``units`` (curve
        name to unit, the depth curve's included), ``null`` (the well's null
        value) and ``well``. A well without curves gives an empty DataFrame.
        """
        names = [names] if isinstance(names, str) else list(names or ())
        loaded = _native.load_frame(self._connect, self.name, names, depth or "")
        return _curves_frame(self.name, loaded, depth)

    def curve(self, name):
        """One curve as a :class:`Curve` (a float64 numpy array of the loaded
        samples, nulls as NaN) with unit, description and depth attributes."""
        connect = self._connect
        found, null, names, units, depths, arrays = _native.load_one_curve(
            connect, self.name, name)
        if not found:
            raise Error("well %s has no curve %s" % (self.name, name))
        curve = arrays[-1].view(Curve)
        curve.name, curve.unit, curve.well, curve.depth = name, units[-1], self.name, arrays[0]
        curve.description = _native.curve_descriptions(connect, [name]).get(name, "")
        return curve

    @property
    def curve_names(self):
        """The names of the well's curves, in the database's order."""
        return list(self.units)

    @property
    def units(self):
        """Curve name to unit, for every curve of the well."""
        loaded = _native.load_curves(self._connect, self.name)
        return dict(zip(loaded[2], loaded[3]))

    @property
    def descriptions(self):
        """Curve name to description (the curve dictionary's display name,
        found by name or alias) for the curves the dictionary knows."""
        return _native.curve_descriptions(self._connect, self.curve_names)

    @property
    def markers(self):
        """The well's markers, by top depth: MarkerName, TopDepth,
        BottomDepth, Description."""
        return self.records("markers")

    @property
    def survey(self):
        """The well's deviation survey, one row per station: Md, Inclination,
        Azimuth, Xoffset, Yoffset, Tvd, Xcoor, Ycoor, Tvdss. Offsets and Tvd
        the database lacks are computed by minimum curvature (vertical from
        md 0 above the first station), coordinates and Tvdss from the well
        header's Well_EW, Well_SN and Kb where it gives them. Arrays shorter
        than Md are padded with NaN. Empty when the well has no survey."""
        columns = _native.load_survey(self._connect, self.name)
        if columns is None:
            return pd.DataFrame(columns=[c for c in _SURVEY_COLUMNS], dtype="float64")
        rows = len(columns["Md"])
        for name, values in columns.items():
            if len(values) != rows:
                warnings.warn("the survey of well %s has %d %s values for %d stations"
                              % (self.name, len(values), name, rows), stacklevel=2)
                padded = np.full(rows, np.nan)
                padded[:min(rows, len(values))] = values[:rows]
                columns[name] = padded
        return _records_frame(columns)

    def records(self, kind):
        """The well's records of a kind of :data:`RECORD_KINDS` as a
        DataFrame, one row per record, one column per field."""
        return _records_frame(_native.load_records(kind, self._connect, self.name))

    def to_las(self, path=None, depth=None):
        """Writes the well's curves as LAS 2.0, as ``strataloom export-las``
        does: the curves of one depth curve (depth, by default the one most
        curves use), every value exactly, nulls as the well's null value.
        Returns the text when path is None, else a dict of what was written
        (depth_curve, curves, rows, warnings)."""
        result = _native.export_las(self._connect, self.name, depth or "",
                                    os.fspath(path) if path is not None else "")
        for warning in result["warnings"]:
            warnings.warn(warning, stacklevel=2)
        return result.pop("text") if path is None else result


def _records_property(kind, what):
    return property(lambda well: well.records(kind),
                    doc="The well's %s: ``records(%r)``." % (what, kind))


# The well-bore family, one property each.
Well.small_markers = _records_property("small_markers", "small-layer markers")
Well.lithology = _records_property("lithology", "lithology markers")
Well.interpretation = _records_property("interpretation", "log interpretation results")
Well.oil_tests = _records_property("oil_tests", "oil tests")
Well.perforations = _records_property("perforations", "perforations")
Well.cores = _records_property("cores", "drilling cores")
Well.sidewall_cores = _records_property("sidewall_cores", "sidewall cores")


_SURVEY_COLUMNS = ("Md", "Inclination", "Azimuth", "Xoffset", "Yoffset", "Tvd",
                   "Xcoor", "Ycoor", "Tvdss")


class Project:
    """A project in a project database: its wells and their data.

    Made by :func:`strataloom.open`; a context manager that closes it.
    """

    def __init__(self, connect, name):
        #: The connection string the module is given.
        self.connect = connect
        #: The project's name.
        self.name = name
        self._closed = False

    def __repr__(self):
        return "<strataloom.Project %s in %s>" % (self.name, self.connect)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()
        return False

    def close(self):
        """Closes the project: later calls raise :class:`Error`. The
        module closes its own connection once it has been idle for 3 s."""
        self._closed = True

    def _open_connect(self):
        if self._closed:
            raise Error("the project %s is closed" % self.name)
        return self.connect

    def projects(self):
        """The names of the database's projects (those with a header or
        with wells), sorted."""
        return _native.project_names(self._open_connect())

    @property
    def header(self):
        """The project's header as a dict of its fields; None without one."""
        columns = _native.load_project(self._open_connect(), self.name)
        return None if columns is None else {k: v[0] for k, v in columns.items()}

    @property
    def wells(self):
        """The project's well headers as a DataFrame indexed by WellName, one
        row per well, every header field as a column. Coordinates and depths
        the header marks as unknown (-99999) are NaN."""
        frame = _records_frame(_native.load_wells(self._open_connect(), self.name))
        for name in ("Well_EW", "Well_SN", "WellDepth"):
            frame[name] = frame[name].mask(frame[name] == _NO_VALUE)
        return frame.set_index("WellName")

    @property
    def well_names(self):
        """The names of the project's wells, sorted."""
        return list(self.wells.index)

    def well(self, name):
        """The :class:`Well` of that name; :class:`Error` when the database
        has no header of it."""
        columns = _native.load_well(self._open_connect(), name)
        if columns is None:
            raise Error("no well %s in %s" % (name, self.connect))
        return Well(self, name, {k: v[0] for k, v in columns.items()})

    def curves(self, wells=None, names=None):
        """The curves of several wells (by default every well of the project
        that has curves) as a dict of well name to the DataFrame that
        :meth:`Well.curves` gives, loaded in one call."""
        connect = self._open_connect()
        wells = (_native.wells_with_curves(connect, self.name) if wells is None
                 else [_well_name(w) for w in wells])
        names = [names] if isinstance(names, str) else list(names or ())
        loads = _native.load_many_frames(connect, wells, names)
        return {w: _curves_frame(w, loaded) for w, loaded in zip(wells, loads)}

    def save_curves(self, well, df, units=None, null=None, replace=False, create_project=False,
                    depth_unit=None):
        """Saves the columns of df as curves of the well, indexed by its
        depths: the index is the depth curve (named by the index's name,
        "DEPT" without one) and every column a curve on it. NaN is stored as
        the null value.

        The save is the LAS import's (``strataloom import-las``), all or
        nothing, and nothing stored is lost unless replace is true: curves
        over other depths than the well's are kept beside them under a depth
        curve of their own (DEPT:1), a curve that differs from the stored one
        of its name is kept as GR:1, and each such change is issued as a
        warning. With replace the curves replace the well's of the same
        names, as ``import-las --replace`` does. A well without a header
        gets one in this project, which must be known to the database, as
        ``import-las`` requires: a project it does not know raises
        :class:`Error` and nothing is stored, unless create_project is true,
        which makes it, its depths in depth_unit ("m", the default, or
        "ft"). Depths in feet go into a project in metres converted, as the
        import converts them.
        units maps curve names (the depth curve's included) to units; a
        curve without one takes ``df.attrs["units"]``'s, else the unit the
        well's curve of that name has, else none. null is the well's null
        value; a well with curves keeps the one they have (another raises
        ValueError), a new one takes ``df.attrs["null"]`` or -999.25.

        Raises ValueError for input the save cannot take (no numbers,
        depths that neither increase nor decrease throughout, fewer than 3
        rows, names a LAS file cannot carry, a depth_unit without
        create_project) before anything is written.
        """
        connect = self._open_connect()
        name = _well_name(well)
        if not isinstance(df, pd.DataFrame):
            df = pd.DataFrame(df)
        if df.shape[1] == 0:
            raise ValueError("no curves: the DataFrame has no columns")
        _check_rows(len(df), "depth steps")
        depth_name = str(df.index.name) if df.index.name is not None else "DEPT"
        depth = _check_numbers(depth_name, df.index.to_numpy(), "depth curve")
        _check_ordered(depth_name, depth, "depth curve", decreasing_too=True)
        names = [str(c) for c in df.columns]
        if len(set(names)) != len(names) or depth_name in names:
            raise ValueError("curve names must be unique and differ from the depth curve's: %s"
                             % ", ".join([depth_name] + names))
        columns = [np.ascontiguousarray(depth)]
        columns += [np.ascontiguousarray(_check_numbers(n, df[c].to_numpy(), "curve"))
                    for n, c in zip(names, df.columns)]
        unknown = set(units or {}) - set([depth_name] + names)
        if unknown:
            raise ValueError("units of curves not saved: %s" % ", ".join(sorted(unknown)))
        given = dict(df.attrs.get("units") or {})
        given.update(units or {})
        if any(n not in given for n in [depth_name] + names):
            # Curves the well has keep their units.
            stored = _native.load_curves(connect, name)
            given = {**dict(zip(stored[2], stored[3])), **given}
        unit_list = [str(given.get(n, "")) for n in [depth_name] + names]
        # One null value per well: the module loads a well's curves with the
        # null value of one of its rows, so curves stored with another would
        # not read back their nulls as NaN.
        stored = _native.stored_null(connect, name)
        if null is None:
            null = stored if stored is not None else df.attrs.get("null", _DEFAULT_NULL)
        if not np.isfinite(null):
            raise ValueError("the null value must be a finite number")
        if stored is not None and null != stored:
            raise ValueError("well %s stores its curves with the null value %r, not %r"
                             % (name, stored, null))
        result = _native.save_curves(connect, self.name, name, [depth_name] + names,
                                     unit_list, columns, float(null), bool(replace),
                                     bool(create_project), _unit_text(depth_unit))
        for warning in result["warnings"] + result["changes"]:
            warnings.warn(warning, stacklevel=2)
        return result

    def save_markers(self, well, df):
        """Replaces the well's markers by the rows of df: columns MarkerName
        and TopDepth, optionally BottomDepth (the top when missing) and
        Description. An empty df deletes the well's markers."""
        if not isinstance(df, pd.DataFrame):
            df = pd.DataFrame(df)
        missing = [c for c in ("MarkerName", "TopDepth") if c not in df.columns]
        if missing and len(df.columns):
            raise ValueError("missing columns: %s" % ", ".join(missing))
        if "BottomDepth" not in df.columns and "TopDepth" in df.columns:
            df = df.assign(BottomDepth=df["TopDepth"])
        if len(df) and "TopDepth" in df.columns:
            top = _check_numbers("TopDepth", df["TopDepth"], "column")
            bottom = _check_numbers("BottomDepth", df["BottomDepth"], "column")
            for marker, t, b in zip(df["MarkerName"], top, bottom):
                if b < t:
                    warnings.warn("marker %s of well %s has its bottom above its top"
                                  % (marker, _well_name(well)), stacklevel=2)
        self.save_records(well, "markers", df)

    def save_records(self, well, kind, df):
        """Replaces the well's records of a kind of :data:`RECORD_KINDS` by
        the rows of df, one column per field; fields without a column take
        the record's defaults. Unknown columns, text in number columns and
        numbers that are not finite raise ValueError before anything is
        written."""
        columns, rows = _columns(df, _well_name(well))
        _native.save_records(kind, self._open_connect(), _well_name(well), columns, rows)

    def save_survey(self, well, df):
        """Replaces the well's deviation survey by the rows of df, one per
        station: Md, Inclination, Azimuth (degrees, azimuth clockwise from
        grid north), optionally Xoffset, Yoffset, Tvd, Xcoor, Ycoor, Tvdss.
        Columns left out are computed as ``strataloom import-deviation``
        computes them: the path by minimum curvature, coordinates from the
        well header's Well_EW and Well_SN, Tvdss as Tvd less its Kb (a well
        without a header then raises Error). Md must increase; at least 3
        stations."""
        if not isinstance(df, pd.DataFrame):
            df = pd.DataFrame(df)
        unknown = [str(c) for c in df.columns if c not in _SURVEY_COLUMNS]
        if unknown:
            raise ValueError("unknown columns %s; the columns are %s"
                             % (", ".join(unknown), ", ".join(_SURVEY_COLUMNS)))
        missing = [c for c in _SURVEY_COLUMNS[:3] if c not in df.columns]
        if missing:
            raise ValueError("missing columns: %s" % ", ".join(missing))
        _check_rows(len(df), "stations")
        columns = {c: _check_numbers(c, df[c].to_numpy(), "column") for c in df.columns}
        _check_ordered("Md", columns["Md"], "column")
        result = _native.save_survey(self._open_connect(), _well_name(well), columns)
        for warning in result["warnings"]:
            warnings.warn(warning, stacklevel=2)

    def import_las(self, paths, replace=False, create_project=False, depth_unit=None):
        """Imports LAS 1.2 and 2.0 files as ``strataloom import-las`` does
        (``replace`` as its ``--replace``), one well per file, new wells into
        this project. The project must be known to the database: one it does
        not know raises :class:`Error` and nothing is stored, unless
        create_project is true (``--create-project``), which makes it with
        its depths in depth_unit ("m", the default, or "ft";
        ``--depth-unit``). Returns one dict per file (path, well, curves,
        rows, header_created, warnings); warnings are also issued. When a
        file fails the others are still imported, then :class:`Error` tells
        every failure (its ``results`` attribute holds the dicts). A
        depth_unit without create_project raises ValueError."""
        if isinstance(paths, (str, os.PathLike)):
            paths = [paths]
        results = _native.import_las(self._open_connect(), self.name,
                                     [os.fspath(p) for p in paths], bool(replace),
                                     bool(create_project), _unit_text(depth_unit))
        for result in results:
            for warning in result["warnings"] + result["changes"]:
                warnings.warn(warning, stacklevel=2)
        failed = [r["error"] for r in results if not r["ok"]]
        if failed:
            error = Error("; ".join(failed))
            error.results = results
            raise error
        return results
