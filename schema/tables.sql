-- Strataloom project database: every table and index of a project.
-- Types: TEXT for text and single characters, INTEGER for 32-bit integers,
-- REAL for float and double values, BLOB for value arrays and image content.
-- No keys are declared here: the data classes keep their own keys by
-- deleting the rows they replace before inserting.

-- projects: one row per project header (extent, ellipsoid, map projection)
CREATE TABLE b_project_data (
  ProjectName TEXT,
  Description TEXT,
  AutoCalcMinMax TEXT,
  EWmin REAL,
  EWmax REAL,
  SNmin REAL,
  SNmax REAL,
  CreatedDate TEXT,
  EllipsoidID INTEGER,
  EllipsoidDescription TEXT,
  SemiMajor REAL,
  Flattering REAL,
  ProjectionType INTEGER,
  ProjectionDescription TEXT,
  CentralMeridian REAL,
  OriginLatitude REAL,
  FalseEasting REAL,
  FalseNorthing REAL,
  StdParallel1 REAL,
  StdParallel2 REAL,
  ScaleFactor REAL,
  Azimuth REAL,
  ZoneType INTEGER,
  indexZone INTEGER,
  CooridnateType INTEGER
);

-- well headers: one row per well, tied to its project by ProjectName
CREATE TABLE w_well_data (
  ProjectName TEXT,
  WellName TEXT,
  WellType TEXT,
  Well_EW REAL,
  Well_SN REAL,
  WellFlag TEXT,
  WellSymbol INTEGER,
  Kb REAL,
  Ekb REAL,
  WellDepth REAL
);

-- well lists: one row per member well of a named list
CREATE TABLE b_welllist_data (
  WellListName TEXT,
  WellName TEXT,
  WellNumber INTEGER
);

-- section well lists: one row per cross-section with its well combination
CREATE TABLE b_sectionwelllist_data (
  Setction_Name TEXT,
  Section_WellList TEXT
);

-- areas of interest: one row per named map rectangle of a project
CREATE TABLE b_aoi_data (
  ProjectName TEXT,
  AOIName TEXT,
  Xmin REAL,
  Xmax REAL,
  Ymin REAL,
  Ymax REAL
);

-- log curves: one row per curve of a well, samples packed as doubles
CREATE TABLE w_log_data (
  WellName TEXT,
  CurveName TEXT,
  Measure TEXT,
  DepthCurveName TEXT,
  NullValue REAL,
  CurveValue BLOB
);

-- curve dictionary: one row per curve name with its display attributes
CREATE TABLE w_curve_dictionary (
  CurveName TEXT,
  DisplayName TEXT,
  CurveUnit TEXT,
  LeftValue REAL,
  RightValue REAL,
  CurveType INTEGER,
  Color INTEGER,
  CurveWidth REAL,
  CoorType INTEGER
);

-- curve aliases: one row per alias of a dictionary curve name
CREATE TABLE w_curvealias_data (
  CurveAlias TEXT,
  CurveName TEXT
);

-- deviation surveys: one row per well, nine parallel station arrays
CREATE TABLE w_deviate_well (
  WellName TEXT,
  Md BLOB,
  Azimuth BLOB,
  Inclination BLOB,
  Xoffset BLOB,
  Yoffset BLOB,
  Xcoor BLOB,
  Ycoor BLOB,
  Tvd BLOB,
  Tvdss BLOB
);

-- text curves: one row per depth interval of a text curve of a well
CREATE TABLE w_text_data (
  WellName TEXT,
  TextCurveName TEXT,
  TextType INTEGER,
  TopDepth REAL,
  BottomDepth REAL,
  TextDescription TEXT,
  Remark TEXT,
  Type INTEGER
);

-- text codes: one row per text curve name with its text and track type
CREATE TABLE b_text_code (
  TextCurveName TEXT,
  TextType INTEGER,
  TrackType INTEGER
);

-- well pictures: one row per picture file of a well over a depth interval
CREATE TABLE w_pic_data (
  WellName TEXT,
  PicType INTEGER,
  PicTypeName TEXT,
  TopDepth REAL,
  BottomDepth REAL,
  FileName TEXT,
  FilePath TEXT,
  Description TEXT
);

-- well markers: one row per marker interval picked in a well
CREATE TABLE w_marker_data (
  WellName TEXT,
  MarkerName TEXT,
  TopDepth REAL,
  BottomDepth REAL,
  Description TEXT
);

-- small-layer markers: one row per small layer picked in a well
CREATE TABLE w_smallmarker_data (
  WellName TEXT,
  SmallMarkerName TEXT,
  MiddleMarkerName TEXT,
  MarkerName TEXT,
  TopDepth REAL,
  BottomDepth REAL,
  SandHeight REAL,
  SandHeightType TEXT,
  SandEffTop REAL,
  SandEffHeight1 REAL,
  SandEffHeight2 REAL,
  DcjsConclusion TEXT,
  SmallMarkerDescription TEXT
);

-- lithology markers: one row per lithology interval of a well
CREATE TABLE w_lith_marker_data (
  WellName TEXT,
  LithMarkerName TEXT,
  TopDepth REAL,
  BottomDepth REAL,
  LithName TEXT,
  LithDescription TEXT
);

-- interpretation results: one row per interpreted interval of a well
CREATE TABLE w_interpret_data (
  WellName TEXT,
  InterpretName TEXT,
  InterpretResult TEXT,
  TopDepth REAL,
  BottomDepth REAL,
  Remark TEXT,
  NeutronPorosity REAL,
  DensityPorosity REAL,
  EffectivePorosity REAL,
  AcousticPorosity REAL,
  TotalPorosity REAL,
  FlushedZoneResistivity REAL,
  LowResistivity REAL,
  TrueFormationResistivity REAL,
  DrillingFluidResistivity REAL,
  NaturalPotential REAL,
  NaturalGamma REAL,
  CompensatedNeutron REAL,
  WellDiameter REAL,
  Permeability REAL,
  OilEffectivePermeability REAL,
  GasEffectivePermeability REAL,
  WaterEffectivePermeability REAL,
  AbsolutePermeability REAL,
  FormationEffPermeability REAL,
  CrossSectionIndex REAL,
  Uranium REAL,
  Thorium REAL,
  Potassium REAL,
  ShalinessContent REAL,
  ArenaceousContent REAL,
  SiltyContent REAL,
  CalcareousContent REAL,
  DolomiticContent REAL,
  GravelContent REAL,
  SpecialMineral1 REAL,
  SpecialMineral2 REAL,
  SpecialMineral3 REAL,
  OilSaturation REAL,
  EffectiveWaterSaturation REAL,
  WaterSaturation REAL,
  IrresibleWaterSaturation REAL,
  TotalWaterSaturation REAL,
  Montmorillonite REAL,
  Illite REAL,
  Kaolinite REAL,
  RockDensity REAL,
  FormationVolumeDensity REAL,
  RockVelocity REAL,
  AcousticTimeDifference REAL,
  BottomHoleTemperature REAL,
  ReservoirTemperatureGrad REAL
);

-- oil tests: one row per tested interval of a well
CREATE TABLE w_oiltest_data (
  WellName TEXT,
  XH TEXT,
  CW TEXT,
  JSXH TEXT,
  TopDepth REAL,
  BottomDepth REAL,
  LayerNum INTEGER,
  Thickness REAL,
  Builder TEXT,
  Purpose TEXT,
  BeginDate TEXT,
  FinishDate TEXT,
  CSLB TEXT,
  Approach TEXT,
  Method TEXT,
  YYBHFW TEXT,
  TYBHFW TEXT,
  JY REAL,
  LY REAL,
  JW REAL,
  LW REAL,
  UnitOilProduct REAL,
  UnitGasProduct REAL,
  UnitWaterProduct REAL,
  TotalOilProduct REAL,
  TotalGasProduct REAL,
  TotalWaterProduct REAL,
  MQRGJD REAL,
  ProductTime REAL,
  ProductDepth REAL,
  Conclusion TEXT
);

-- perforations: one row per perforated interval of a well
CREATE TABLE w_shot_data (
  WellName TEXT,
  ShotDate TEXT,
  TopDepth REAL,
  BottomDepth REAL,
  XH INTEGER,
  LayerNum INTEGER,
  Thickness REAL,
  Method TEXT,
  GunType TEXT,
  BulletType TEXT,
  Density INTEGER,
  ShotRate REAL,
  WJYMC TEXT,
  WJYMD REAL,
  JSXH TEXT,
  LayerType TEXT,
  Description TEXT
);

-- drilling cores: one row per core taken while drilling a well
CREATE TABLE w_takecore_data (
  WellName TEXT,
  CoreName TEXT,
  TopDepth REAL,
  BottomDepth REAL,
  CoreLength REAL,
  CoreDrill REAL,
  GainRate REAL,
  Color INTEGER,
  LithName TEXT,
  OilBearingClass TEXT,
  LithDescription TEXT,
  Remark TEXT
);

-- sidewall cores: one row per sidewall core sample of a well
CREATE TABLE w_lateralcore_data (
  WellName TEXT,
  LateralCoreName TEXT,
  Depth REAL,
  Color INTEGER,
  LithName TEXT,
  OilBearingClass TEXT,
  LithDescription TEXT,
  Remark TEXT
);

-- map polylines: one row per named line on the map of a marker
CREATE TABLE b_cs_data (
  CSName TEXT,
  MarkerName TEXT,
  CSType TEXT,
  Xcoor BLOB,
  Ycoor BLOB,
  Depth BLOB,
  TurnPoint1 INTEGER,
  TurnPoint2 INTEGER
);

-- structure data: one row per marker surface of a project
CREATE TABLE s_structure_data (
  ProjectName TEXT,
  MarkerName TEXT,
  Xcoor BLOB,
  Ycoor BLOB,
  Depth BLOB
);

-- 2D seismic line coordinates: one row per CDP point of a line
CREATE TABLE s_linecoor2d_data (
  LineName TEXT,
  CDP TEXT,
  XCoor REAL,
  YCoor REAL,
  Elevation REAL
);

-- 3D seismic survey grids: one row per grid with its three reference points
CREATE TABLE s_linegrid3d_data (
  LineGrid3DName TEXT,
  LineNo1 INTEGER,
  CDPNo1 INTEGER,
  Xcoor1 REAL,
  Ycoor1 REAL,
  LineNo2 INTEGER,
  CDPNo2 INTEGER,
  Xcoor2 REAL,
  Ycoor2 REAL,
  LineNo3 INTEGER,
  CDPNo3 INTEGER,
  Xcoor3 REAL,
  Ycoor3 REAL
);

-- registered survey grids: one row per grid name known to the grid existence test
CREATE TABLE b_LineGrid3D_data (
  LineGrid3DName TEXT
);

-- seismic body: one row per reference point of the project's seismic volume
CREATE TABLE b_earthshockbody_data (
  LineNumber INTEGER,
  CDPNumber INTEGER,
  X REAL,
  Y REAL
);

-- symbol images: one row per image, keyed by name, type and facet; a row
-- written without a meta facet belongs to none (-2)
CREATE TABLE b_image_data (
  ImageName TEXT,
  ImageType INTEGER,
  ImageFacet INTEGER,
  MetaFacet INTEGER DEFAULT -2,
  SysDefine TEXT,
  ImageData BLOB,
  ZsyLithCode TEXT,
  ZshLithCode TEXT
);

-- meta combinations: one row per image attached to a meta facet
CREATE TABLE b_meta_comb (
  ImageName TEXT,
  ImageType INTEGER,
  ImageFacet INTEGER,
  MetaFacet INTEGER,
  ImageData BLOB,
  ZsyLithCode TEXT,
  ZshLithCode TEXT
);

-- image aliases: one row per alias name of a symbol image
CREATE TABLE b_image_alias (
  AliasName TEXT,
  ImageType INTEGER,
  ImageFacet INTEGER,
  ImageName TEXT
);

-- meta types: one row per node of the meta-type tree, linked to its parent
CREATE TABLE b_meta_type (
  MetaTypeID INTEGER,
  MetaTypeName TEXT,
  MetaTypeDescription TEXT,
  MetaTypeParentID INTEGER,
  MetaFacet INTEGER
);

-- indexes on the columns the statements select and delete by

-- project-level names
CREATE INDEX ix_b_project_data_ProjectName ON b_project_data (ProjectName);
CREATE INDEX ix_w_well_data_ProjectName ON w_well_data (ProjectName);
CREATE INDEX ix_b_aoi_data_ProjectName ON b_aoi_data (ProjectName);
CREATE INDEX ix_b_aoi_data_AOIName ON b_aoi_data (AOIName);
CREATE INDEX ix_s_structure_data_ProjectName ON s_structure_data (ProjectName);

-- list names
CREATE INDEX ix_b_welllist_data_WellListName ON b_welllist_data (WellListName);
CREATE INDEX ix_b_sectionwelllist_data_Setction_Name ON b_sectionwelllist_data (Setction_Name);

-- well names of the well-bore tables
CREATE INDEX ix_w_well_data_WellName ON w_well_data (WellName);
CREATE INDEX ix_w_log_data_WellName ON w_log_data (WellName);
CREATE INDEX ix_w_deviate_well_WellName ON w_deviate_well (WellName);
CREATE INDEX ix_w_text_data_WellName ON w_text_data (WellName);
CREATE INDEX ix_w_pic_data_WellName ON w_pic_data (WellName);
CREATE INDEX ix_w_marker_data_WellName ON w_marker_data (WellName);
CREATE INDEX ix_w_smallmarker_data_WellName ON w_smallmarker_data (WellName);
CREATE INDEX ix_w_lith_marker_data_WellName ON w_lith_marker_data (WellName);
CREATE INDEX ix_w_interpret_data_WellName ON w_interpret_data (WellName);
CREATE INDEX ix_w_oiltest_data_WellName ON w_oiltest_data (WellName);
CREATE INDEX ix_w_shot_data_WellName ON w_shot_data (WellName);
CREATE INDEX ix_w_takecore_data_WellName ON w_takecore_data (WellName);
CREATE INDEX ix_w_lateralcore_data_WellName ON w_lateralcore_data (WellName);

-- curve and text curve names; a curve of a well is found by its name first,
-- so that the loads of a well, by WellName alone, keep their rows in stored order
CREATE INDEX ix_w_log_data_CurveName_WellName ON w_log_data (CurveName, WellName);
CREATE INDEX ix_w_curve_dictionary_CurveName ON w_curve_dictionary (CurveName);
CREATE INDEX ix_w_curvealias_data_CurveAlias ON w_curvealias_data (CurveAlias);
CREATE INDEX ix_w_text_data_TextCurveName ON w_text_data (TextCurveName);
CREATE INDEX ix_b_text_code_TextCurveName ON b_text_code (TextCurveName);

-- marker names
CREATE INDEX ix_w_marker_data_MarkerName ON w_marker_data (MarkerName);
CREATE INDEX ix_b_cs_data_MarkerName ON b_cs_data (MarkerName);
CREATE INDEX ix_s_structure_data_MarkerName ON s_structure_data (MarkerName);

-- line and grid names
CREATE INDEX ix_b_cs_data_CSName ON b_cs_data (CSName);
CREATE INDEX ix_s_linecoor2d_data_LineName ON s_linecoor2d_data (LineName);
CREATE INDEX ix_s_linegrid3d_data_LineGrid3DName ON s_linegrid3d_data (LineGrid3DName);
CREATE INDEX ix_b_LineGrid3D_data_LineGrid3DName ON b_LineGrid3D_data (LineGrid3DName);

-- image names and facets
CREATE INDEX ix_b_image_data_ImageName ON b_image_data (ImageName);
CREATE INDEX ix_b_image_data_MetaFacet ON b_image_data (MetaFacet);
CREATE INDEX ix_b_meta_comb_ImageName ON b_meta_comb (ImageName);
CREATE INDEX ix_b_image_alias_AliasName ON b_image_alias (AliasName);
CREATE INDEX ix_b_image_alias_ImageName ON b_image_alias (ImageName);

-- Tables of the formats library (host side), which the data classes do not
-- use: made here for new projects, and on first use in older ones.

-- the depth unit of each project: "m" or "ft"
CREATE TABLE b_project_unit (
  ProjectName TEXT,
  DepthUnit TEXT
);

-- the LAS header items of each imported run of a well (the run is named by
-- its depth curve): Section V, W, P or O for the run, C for one curve
CREATE TABLE w_las_header (
  WellName TEXT,
  DepthCurveName TEXT,
  CurveName TEXT,
  Section TEXT,
  ItemOrder INTEGER,
  Mnemonic TEXT,
  Unit TEXT,
  Value TEXT,
  Description TEXT
);
CREATE INDEX ix_w_las_header_WellName ON w_las_header (WellName);
