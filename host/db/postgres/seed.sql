-- Seed data of the test ERP database. host/db/README.md lists what each row
-- is for; host/db/sqlite/schema.sql carries the same rows of ICSwitch,
-- ICUnit and ICInventory, and tests/db/db_test.sh checks that they agree.
--
-- Rows that share a key are inserted in the order in which a fresh table
-- returns them: the first one is the one the library must use.

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

INSERT INTO ICMaxNum (FTableName, FMaxNum) VALUES
    ('icstockbill', 1000),
    ('nulltable',   NULL);

INSERT INTO ICBillNo (FBillType, FPrefix) VALUES
    (0,  'IN'),
    (1,  'OUT'),
    (2,  'ADJ'),
    (3,  'TRF'),
    (4,  'CHK'),
    (5,  'AGT'),
    (8,  'PUR'),
    (9,  'PRT'),
    (10, 'WOUT'),
    (11, 'WBK'),
    (12, '调拨'),
    (99, NULL);

-- 2025 and 2026, and February 2027 to December 2029: one period per calendar
-- month, numbered 1 to 12, so today has a period for a few years to come.
INSERT INTO ICPeriod (FRange, FPeriod)
SELECT tsrange(m, m + interval '1 month', '[)'), extract(month FROM m)::integer
FROM generate_series(timestamp '2025-01-01', timestamp '2026-12-01',
                     interval '1 month') AS m;

INSERT INTO ICPeriod (FRange, FPeriod)
SELECT tsrange(m, m + interval '1 month', '[)'), extract(month FROM m)::integer
FROM generate_series(timestamp '2027-02-01', timestamp '2029-12-01',
                     interval '1 month') AS m;

INSERT INTO ICPeriod (FRange, FPeriod) VALUES
    -- January 2027 is split at noon, so a date that lost its time of day
    -- lands in the wrong period.
    (tsrange('2027-01-01 00:00', '2027-01-15 12:00', '[)'), 1),
    (tsrange('2027-01-15 12:00', '2027-02-01 00:00', '[)'), 2),
    -- 2090: answers at and beyond the edges of a 16-bit integer.
    (tsrange('2090-01-01', '2090-02-01', '[)'), NULL),
    (tsrange('2090-02-01', '2090-03-01', '[)'), 32767),
    (tsrange('2090-03-01', '2090-04-01', '[)'), 32768),
    (tsrange('2090-04-01', '2090-05-01', '[)'), 40000),
    (tsrange('2090-05-01', '2090-06-01', '[)'), -32768),
    (tsrange('2090-06-01', '2090-07-01', '[)'), -32769);
