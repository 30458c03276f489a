-- Test ERP database as an SQLite file: the tables and the unit view of the
-- PostgreSQL database with the same rows (host/db/postgres/seed.sql), but no
-- numbering or period procedures, which SQLite cannot hold. A call of one of
-- them therefore fails here, which is a test case of its own.
--
-- SQLite matches identifiers without regard to case and reports result
-- columns as declared, so FOperate comes back as "FOperate".

BEGIN;

CREATE TABLE ICSwitch (
    FShortCut VARCHAR(80),
    FOperate  INTEGER,
    FID       INTEGER
);

CREATE TABLE ICInventory (
    FBrNo    VARCHAR(80),
    FStockID INTEGER,
    FItemID  INTEGER,
    FQty     REAL
);

CREATE TABLE ICUnit (
    FUnitID      INTEGER PRIMARY KEY,
    FName        VARCHAR(80) NOT NULL,
    FCoefficient REAL
);

-- Filtered by FItemID with a unit id, hence the rename.
CREATE VIEW vwICUnitCoe AS
    SELECT FUnitID AS FItemID, FName, FCoefficient
    FROM ICUnit;

INSERT INTO ICSwitch (FShortCut, FOperate, FID) VALUES
    ('AB',     3,    12),
    ('NULLOP', NULL, 20),
    ('NULLID', 5,    NULL),
    ('DUP',    1,    31),
    ('DUP',    2,    32),
    ('NEG',    -1,   40),
    ('ZERO',   0,    0),
    ('O''K',   9,    90),
    ('入库',   7,    70);

INSERT INTO ICUnit (FUnitID, FName, FCoefficient) VALUES
    (1, 'PAIR',  2),
    (2, 'HALF',  0.5),
    (3, 'UNSET', NULL),
    (4, 'PCS',   1);

INSERT INTO ICInventory (FBrNo, FStockID, FItemID, FQty) VALUES
    ('01', 1, 10, 5),
    ('01', 1, 11, 7),
    ('01', 1, 12, 4),
    ('01', 1, 12, 6),
    ('01', 1, 13, NULL),
    ('02', 1, 10, 9),
    ('01', 2, 10, 8);

COMMIT;
