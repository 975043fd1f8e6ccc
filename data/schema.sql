-- Network database of the optical-cable distribution map, SQLite dialect.
--
-- Codes (station types, levels, lay modes, regions...) are described in the
-- code table XTBM. Region codes: a province is "XZ01" plus two digits, its
-- cities add two more ("XZ0116" and "XZ011601"). Coordinates are decimal
-- degrees, lengths kilometres. Alarm counts are text, "0" meaning none.
--
-- Several statements of the map join these objects without qualifying every
-- column, so some names must stay unique across the joined objects:
--   XTXX only in XTBM, PROVINCE and DOMAINNAME only in EN_PROVINCE (province tree);
--   OCABLECODE only in EN_OCABLE among RE_DWDMC_SDHT, EN_DWDM_RES, EN_DWDM_CHANNEL;
--   STATION_A and STATION_Z not in V_EN_FIBER$OC (route ends query).

------------------------------------------------------------------------------
-- Code table, regions and management domains
------------------------------------------------------------------------------

CREATE TABLE XTBM (
    XTBM TEXT PRIMARY KEY,          -- code
    XTXX TEXT NOT NULL,             -- description shown to the user
    XTLB TEXT,                      -- code class: "XZ01" regions, "ZY0103" station types...
    SJBM TEXT,                      -- parent code (a city's province)
    PXH  INTEGER                    -- order inside the class
);
CREATE INDEX IX_XTBM_XTLB ON XTBM (XTLB, PXH);

CREATE TABLE EN_ADMIN_DOMAIN (
    DOMAINNAME TEXT PRIMARY KEY,
    DOMAINCODE TEXT,
    SERIALNO   INTEGER NOT NULL,
    REMARK     TEXT
);
CREATE INDEX IX_EN_ADMIN_DOMAIN_SERIALNO ON EN_ADMIN_DOMAIN (SERIALNO);

CREATE TABLE EN_PROVINCE (
    PROVINCE   TEXT PRIMARY KEY,    -- region code "XZ01nn"; its name is XTBM.XTXX
    DOMAINNAME TEXT,                -- management domain
    GBCODE     TEXT,                -- GB/T 2260 code, "410000"
    SHORTNAME  TEXT,                -- "河南"
    CAPITAL    TEXT,                -- region code of the capital city
    SERIALNO   INTEGER
);
CREATE INDEX IX_EN_PROVINCE_DOMAINNAME ON EN_PROVINCE (DOMAINNAME);

CREATE TABLE GUI_RE_DOMAIN_PROVINCE (
    DOMAINNAME TEXT NOT NULL,
    PROVINCE   TEXT NOT NULL,
    PRIMARY KEY (DOMAINNAME, PROVINCE)
);

-- Resource scope of users: one row per region code a user may open.
CREATE TABLE sec_resscope (
    USERNAME   TEXT NOT NULL,
    RESSCOPE   TEXT NOT NULL,
    SCOPELEVEL TEXT,                -- "PROVINCE" or "CITY"
    GRANTDATE  TEXT,
    PRIMARY KEY (USERNAME, RESSCOPE)
);

------------------------------------------------------------------------------
-- Stations, cable segments, microwave segments
------------------------------------------------------------------------------

CREATE TABLE STATION (
    STATIONCODE     TEXT PRIMARY KEY,
    STATIONNAME     TEXT NOT NULL,
    LNG             REAL,
    LAT             REAL,
    PROVINCE        TEXT,           -- region code "XZ01nn"
    CITY            TEXT,           -- region code "XZ01nnmm"
    COUNTY          TEXT,           -- GB/T 2260 code of the county or district
    ADDRESS         TEXT,
    X_STATIONTYPE   TEXT,           -- primary station type (ZY0103xx)
    STATIONTYPE_II  TEXT,
    STATIONTYPE_III TEXT,
    STATIONTYPE     TEXT,           -- resource type (ZY5024xx)
    PROPERTY        TEXT,           -- ownership (ZY1305xx)
    OWNER           TEXT,
    MAINTAINER      TEXT,
    BUILDDATE       TEXT,           -- YYYY-MM-DD
    STATE           TEXT,           -- ZY1401xx
    REMARK          TEXT,
    CRITICAL_C      TEXT DEFAULT '0',
    MAJOR_C         TEXT DEFAULT '0',
    MINOR_C         TEXT DEFAULT '0',
    WARNING_C       TEXT DEFAULT '0',
    INDETERMIN_C    TEXT DEFAULT '0',
    CRITICAL_A      TEXT DEFAULT '0',
    MAJOR_A         TEXT DEFAULT '0',
    MINOR_A         TEXT DEFAULT '0',
    WARNING_A       TEXT DEFAULT '0',
    INDETERMIN_A    TEXT DEFAULT '0'
);
CREATE INDEX IX_STATION_PROVINCE ON STATION (PROVINCE);
CREATE INDEX IX_STATION_CITY ON STATION (CITY);
CREATE INDEX IX_STATION_STATIONNAME ON STATION (STATIONNAME);

CREATE TABLE EN_OCABLE (
    OCABLECODE TEXT PRIMARY KEY,
    OCABLENAME TEXT NOT NULL,       -- the end stations' names joined by "-" or "－"
    STATION_A  TEXT NOT NULL,
    STATION_Z  TEXT NOT NULL,
    RESLEVEL   TEXT,                -- ZY1320xx or ZY1105xx
    X_SYSLEVEL TEXT,                -- ZY1105xx
    LAYMODE    TEXT,                -- ZY1303xx or ZY5112xx
    LENGTH     REAL,                -- km along the route
    FIBERNUM   INTEGER,
    FIBERTYPE  TEXT,                -- ZY1304xx
    PROPERTY   TEXT,                -- ZY1305xx
    OWNER      TEXT,
    MAINTAINER TEXT,
    PROJECTNAME TEXT,
    BUILDDATE  TEXT,
    STATE      TEXT,
    -- Surveyed positions of the segment's ends where they were recorded apart
    -- from the stations' own; the map uses them in place of the stations'.
    LNG_A      REAL,
    LAT_A      REAL,
    LNG_Z      REAL,
    LAT_Z      REAL,
    REMARK     TEXT
);
CREATE INDEX IX_EN_OCABLE_STATION_A ON EN_OCABLE (STATION_A);
CREATE INDEX IX_EN_OCABLE_STATION_Z ON EN_OCABLE (STATION_Z);
CREATE INDEX IX_EN_OCABLE_OCABLENAME ON EN_OCABLE (OCABLENAME);

CREATE TABLE EN_MW_SEG (
    SEG_CODE  TEXT PRIMARY KEY,
    SEG_NAME  TEXT NOT NULL,
    STATION_A TEXT NOT NULL,
    STATION_Z TEXT NOT NULL,
    FREQBAND  TEXT,                 -- "7GHz"
    CAPACITY  TEXT,                 -- "STM-1"
    LENGTH    REAL,
    BUILDDATE TEXT,
    STATE     TEXT,
    REMARK    TEXT
);

------------------------------------------------------------------------------
-- Transmission systems, fibres and DWDM
------------------------------------------------------------------------------

CREATE TABLE TRANSSYSTEM (
    SYSTEMCODE TEXT PRIMARY KEY,
    SYSNAME    TEXT NOT NULL,
    TRANMODEL  TEXT,                -- ZY1103xx: SDH, DWDM, ...
    SYSLEVEL   TEXT,                -- ZY1105xx
    RATE       TEXT,                -- "2.5G", "10G"...
    PROVINCE   TEXT,
    STATION_A  TEXT,
    STATION_Z  TEXT,
    BUILDDATE  TEXT,
    STATE      TEXT,
    REMARK     TEXT
);

-- Cable segments a system runs over, as recorded when the circuit was laid out.
CREATE TABLE re_ocable_transsystem (
    SYSTEMCODE TEXT NOT NULL,
    OCABLECODE TEXT NOT NULL,
    ROUTEORDER INTEGER,
    PRIMARY KEY (SYSTEMCODE, OCABLECODE)
);
CREATE INDEX IX_RE_OCABLE_TRANSSYSTEM_OCABLE ON re_ocable_transsystem (OCABLECODE);

-- Fibres in use or reserved. Free fibres are not recorded.
CREATE TABLE EN_FIBER (
    FIBERCODE  TEXT PRIMARY KEY,
    OCABLECODE TEXT NOT NULL,
    FIBERNO    INTEGER NOT NULL,
    SYSTEMCODE TEXT,
    FIBERSTATE TEXT,                -- ZY1406xx
    REMARK     TEXT
);
CREATE INDEX IX_EN_FIBER_OCABLECODE ON EN_FIBER (OCABLECODE);
CREATE INDEX IX_EN_FIBER_SYSTEMCODE ON EN_FIBER (SYSTEMCODE);

-- DWDM topology links: the stations a link of a DWDM system joins.
CREATE TABLE EN_DWDM_RES (
    DWDMTOPOLINKCODE TEXT PRIMARY KEY,
    LINKNAME         TEXT,
    DWDMSYSTEMCODE   TEXT,
    STATION_A        TEXT NOT NULL,
    STATION_Z        TEXT NOT NULL,
    WAVECOUNT        INTEGER,
    REMARK           TEXT
);
CREATE INDEX IX_EN_DWDM_RES_STATIONS ON EN_DWDM_RES (STATION_A, STATION_Z);

-- Channels (wavelengths) of a link. The channel code is
-- link code ":" wave number ":" code of the DWDM system.
CREATE TABLE EN_DWDM_CHANNEL (
    DWDMCHANNELCODE  TEXT PRIMARY KEY,
    DWDMTOPOLINKCODE TEXT NOT NULL,
    WAVENO           INTEGER,
    WAVELENGTH       REAL,          -- nm
    RATE             TEXT,
    STATE            TEXT
);
CREATE INDEX IX_EN_DWDM_CHANNEL_LINK ON EN_DWDM_CHANNEL (DWDMTOPOLINKCODE);

-- Which channels carry a system (CHANNELSERIAL = EN_DWDM_CHANNEL.DWDMCHANNELCODE).
CREATE TABLE RE_DWDMC_SDHT (
    SYSTEMCODE    TEXT NOT NULL,
    CHANNELSERIAL TEXT NOT NULL,
    PRIMARY KEY (SYSTEMCODE, CHANNELSERIAL)
);
CREATE INDEX IX_RE_DWDMC_SDHT_CHANNEL ON RE_DWDMC_SDHT (CHANNELSERIAL);

------------------------------------------------------------------------------
-- Division rules and their trees
------------------------------------------------------------------------------

CREATE TABLE EN_SUBNET_P (
    P_KEY  TEXT PRIMARY KEY,
    P_NAME TEXT,
    REMARK TEXT                     -- 'NO': the rule may not be deleted
);

-- NODEKEY is not declared unique: grouping-node keys ("划分方法n") are
-- numbered per tree, so two rules may hold the same one.
CREATE TABLE RE_TREE_STRUCT (
    NODEKEY   TEXT NOT NULL,
    NODENAME  TEXT,
    PARENTKEY TEXT,                 -- the text 'NULL' for a root
    NODELEVEL INTEGER,
    P_KEY     TEXT NOT NULL,
    IS_DELETE TEXT,                 -- 'NO' root and systems, 'YES' grouping nodes
    REMARK    TEXT DEFAULT ''
);
CREATE INDEX IX_RE_TREE_STRUCT_P_KEY ON RE_TREE_STRUCT (P_KEY, NODELEVEL, NODENAME);
CREATE INDEX IX_RE_TREE_STRUCT_NODEKEY ON RE_TREE_STRUCT (NODEKEY);

------------------------------------------------------------------------------
-- Table dictionaries and the host's operation log
------------------------------------------------------------------------------

CREATE TABLE tabledictionary (
    TABLENAME TEXT NOT NULL,
    ENFIELD   TEXT NOT NULL,
    CHFIELD   TEXT,
    PRIMARY KEY (TABLENAME, ENFIELD)
);

CREATE TABLE tabledictionarynew (
    tablename TEXT NOT NULL,
    ENFIELD   TEXT NOT NULL,
    CHFIELD   TEXT,
    isVisible TEXT,                 -- 'Y' shown, 'N' hidden
    serial    INTEGER,
    PRIMARY KEY (tablename, ENFIELD)
);

CREATE TABLE OPERATIONLOG (
    LOGID      INTEGER PRIMARY KEY,
    OPCODE     TEXT,                -- "99" division rules
    OPCONTENT  TEXT,
    OBJECTCODE TEXT,
    OBJECTTYPE INTEGER,
    PARAM1     TEXT,
    PARAM2     TEXT,
    USERNAME   TEXT,
    OPTIME     TEXT DEFAULT (strftime('%Y-%m-%d %H:%M:%S', 'now', 'localtime'))
);

------------------------------------------------------------------------------
-- Views read by the map
------------------------------------------------------------------------------

-- Cable segments with their end stations. A surveyed end position recorded
-- on the segment wins over the station's.
CREATE VIEW MAP_V_EN_OCABLE AS
SELECT O.OCABLECODE,
       O.OCABLENAME,
       O.LENGTH,
       COALESCE(O.LNG_A, SA.LNG) AS LNG_A,
       COALESCE(O.LAT_A, SA.LAT) AS LAT_A,
       COALESCE(O.LNG_Z, SZ.LNG) AS LNG_Z,
       COALESCE(O.LAT_Z, SZ.LAT) AS LAT_Z,
       O.STATION_A,
       O.STATION_Z,
       SA.STATIONNAME AS STATIONNAME_A,
       SZ.STATIONNAME AS STATIONNAME_Z,
       SA.PROVINCE AS PROVINCE_A,
       SZ.PROVINCE AS PROVINCE_Z,
       O.RESLEVEL,
       O.X_SYSLEVEL,
       O.LAYMODE,
       O.FIBERNUM,
       O.FIBERTYPE,
       O.OWNER,
       O.MAINTAINER,
       O.BUILDDATE,
       O.STATE
FROM EN_OCABLE O
LEFT JOIN STATION SA ON SA.STATIONCODE = O.STATION_A
LEFT JOIN STATION SZ ON SZ.STATIONCODE = O.STATION_Z;

CREATE VIEW MAP_V_EN_MW_Seg AS
SELECT M.SEG_CODE AS seg_code,
       M.SEG_NAME AS seg_name,
       SA.LNG AS LNG_A,
       SA.LAT AS LAT_A,
       SZ.LNG AS LNG_Z,
       SZ.LAT AS LAT_Z,
       M.STATION_A,
       M.STATION_Z,
       M.FREQBAND,
       M.CAPACITY,
       M.LENGTH
FROM EN_MW_SEG M
LEFT JOIN STATION SA ON SA.STATIONCODE = M.STATION_A
LEFT JOIN STATION SZ ON SZ.STATIONCODE = M.STATION_Z;

-- Fibres with the system they belong to. No station columns here: the route
-- ends query joins this view with EN_OCABLE and names STATION_A unqualified.
CREATE VIEW V_EN_FIBER$OC AS
SELECT F.FIBERCODE,
       F.OCABLECODE,
       F.FIBERNO,
       F.SYSTEMCODE,
       T.SYSNAME,
       F.FIBERSTATE
FROM EN_FIBER F
LEFT JOIN TRANSSYSTEM T ON T.SYSTEMCODE = F.SYSTEMCODE;

-- Which system runs over which cable segment, from the fibres it occupies:
-- one row per pair.
CREATE VIEW MAP_V_RE_CABLE_SUNNET_SYSTEM AS
SELECT F.OCABLECODE,
       F.SYSTEMCODE,
       T.SYSNAME,
       T.TRANMODEL,
       COUNT(*) AS FIBERCOUNT
FROM EN_FIBER F
LEFT JOIN TRANSSYSTEM T ON T.SYSTEMCODE = F.SYSTEMCODE
WHERE F.SYSTEMCODE IS NOT NULL
GROUP BY F.OCABLECODE, F.SYSTEMCODE;

-- Detail of one cable segment for the line window: the segment's columns,
-- its end stations' names and the number of systems over it.
CREATE VIEW V_EN_OCABLE$OC AS
SELECT O.OCABLECODE,
       O.OCABLENAME,
       O.STATION_A,
       SA.STATIONNAME AS STATIONNAME_A,
       O.STATION_Z,
       SZ.STATIONNAME AS STATIONNAME_Z,
       O.RESLEVEL,
       O.X_SYSLEVEL,
       O.LAYMODE,
       O.LENGTH,
       O.FIBERNUM,
       O.FIBERTYPE,
       (SELECT COUNT(*) FROM EN_FIBER F WHERE F.OCABLECODE = O.OCABLECODE) AS USEDFIBERNUM,
       (SELECT COUNT(DISTINCT F.SYSTEMCODE) FROM EN_FIBER F
         WHERE F.OCABLECODE = O.OCABLECODE AND F.SYSTEMCODE IS NOT NULL) AS SYSTEMNUM,
       O.PROPERTY,
       O.OWNER,
       O.MAINTAINER,
       O.PROJECTNAME,
       O.BUILDDATE,
       O.STATE,
       O.REMARK
FROM EN_OCABLE O
LEFT JOIN STATION SA ON SA.STATIONCODE = O.STATION_A
LEFT JOIN STATION SZ ON SZ.STATIONCODE = O.STATION_Z;
