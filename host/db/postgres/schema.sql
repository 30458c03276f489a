-- Test ERP database, PostgreSQL 15: tables, the unit view and the numbering
-- and period procedures that VemoFuns calls.
--
-- Identifiers are left unquoted on purpose: the library's statements name
-- ICSwitch, FOperate and so on in mixed case, and PostgreSQL folds both the
-- definitions here and those statements to lower case, so they meet. Result
-- columns therefore come back in lower case; the ADO layer matches field
-- names without regard to case.
--
-- Text columns are varchar, not text: the ODBC driver reports text as a
-- long (chunked) column, which the ERP's short codes are not. Quantities
-- and coefficients are exact numbers (numeric, shown as inserted), as in
-- the ERP; ADO hands them out as Decimal.
--
-- Procedures are called as CALL name(input, NULL); the server answers with
-- one row holding the INOUT value. Input first, output second, as the ADO
-- parameters are appended.

-- Operation switch per short-cut key. No key constraint: the test data has
-- a key on two rows, to show that only the first row counts.
CREATE TABLE ICSwitch (
    FShortCut varchar(80),
    FOperate  integer,
    FID       integer
);

-- Stock on hand per branch, stock place and item. No key either: two rows
-- for one item are a seeded case.
CREATE TABLE ICInventory (
    FBrNo    varchar(80),
    FStockID integer,
    FItemID  integer,
    FQty     numeric
);

-- Units of measure with their coefficient to the base unit.
CREATE TABLE ICUnit (
    FUnitID      integer PRIMARY KEY,
    FName        varchar(80) NOT NULL,
    FCoefficient numeric
);

-- The library filters this view by FItemID while passing a unit id, so the
-- view exposes the unit id under that name.
CREATE VIEW vwICUnitCoe AS
    SELECT FUnitID AS FItemID, FName, FCoefficient
    FROM ICUnit;

-- Last internal number handed out per table. Table names are kept in lower
-- case so that 'ICStockBill' and 'icstockbill' share one counter. A NULL
-- FMaxNum stays NULL when incremented: that row makes the procedure answer
-- NULL.
CREATE TABLE ICMaxNum (
    FTableName text PRIMARY KEY CHECK (FTableName = lower(FTableName)),
    FMaxNum    integer
);

-- Last bill number per bill type, with the text put in front of the number
-- and the width to which the number is padded with zeros. A NULL FPrefix
-- makes the whole bill number NULL.
CREATE TABLE ICBillNo (
    FBillType integer PRIMARY KEY,
    FPrefix   text,
    FLastNo   integer NOT NULL DEFAULT 0,
    FWidth    integer NOT NULL DEFAULT 6 CHECK (FWidth BETWEEN 1 AND 18)
);

-- Accounting periods as half-open time ranges [start, end), so a period
-- that ends at midnight still holds 23:59:59.999 of its last day. Ranges
-- may not overlap: a date belongs to one period at most.
CREATE TABLE ICPeriod (
    FRange  tsrange NOT NULL CHECK (NOT isempty(FRange)),
    FPeriod integer,
    EXCLUDE USING gist (FRange WITH &&)
);

-- Next internal number for a table. The counter row is created on first use
-- and incremented in one statement; the row lock of INSERT ... ON CONFLICT
-- DO UPDATE serialises concurrent callers, so no two get the same number.
CREATE PROCEDURE geticmaxnum(tablename varchar, INOUT finterid integer)
LANGUAGE plpgsql
AS $$
BEGIN
    IF tablename IS NULL OR btrim(tablename) = '' THEN
        RAISE EXCEPTION 'GetICMaxNum: no table name given';
    END IF;
    INSERT INTO ICMaxNum AS m (FTableName, FMaxNum)
        VALUES (lower(btrim(tablename)), 1)
    ON CONFLICT (FTableName) DO UPDATE SET FMaxNum = m.FMaxNum + 1
    RETURNING m.FMaxNum INTO finterid;
END
$$;

-- Next bill number for a bill type: prefix followed by the zero-padded
-- counter. A type without a row (6 and 7 have no name) gets the prefix
-- 'B<type>-' on first use, so a caller can see which type arrived.
CREATE PROCEDURE geticbillno(billtype integer, INOUT billid varchar)
LANGUAGE plpgsql
AS $$
DECLARE
    v_prefix text;
    v_no     integer;
    v_width  integer;
BEGIN
    IF billtype IS NULL OR billtype < 0 THEN
        RAISE EXCEPTION 'GetICBillNo: no such bill type: %', billtype;
    END IF;
    INSERT INTO ICBillNo AS b (FBillType, FPrefix, FLastNo)
        VALUES (billtype, 'B' || billtype || '-', 1)
    ON CONFLICT (FBillType) DO UPDATE SET FLastNo = b.FLastNo + 1
    RETURNING b.FPrefix, b.FLastNo, b.FWidth INTO v_prefix, v_no, v_width;
    -- lpad would cut a number longer than the width; pad only.
    billid := v_prefix
           || repeat('0', greatest(v_width - length(v_no::text), 0))
           || v_no::text;
END
$$;

-- Accounting period that contains a date, time of day included. A date in
-- no period is an error; a period row with a NULL FPeriod answers NULL.
CREATE PROCEDURE sp_periodfromdate(thedate timestamp, INOUT period integer)
LANGUAGE plpgsql
AS $$
BEGIN
    IF thedate IS NULL THEN
        RAISE EXCEPTION 'sp_PeriodFromDate: no date given';
    END IF;
    SELECT p.FPeriod INTO period
    FROM ICPeriod p
    WHERE p.FRange @> thedate;
    IF NOT FOUND THEN
        RAISE EXCEPTION 'sp_PeriodFromDate: no accounting period contains %',
            thedate;
    END IF;
END
$$;

-- The password-only clerk role (scripts/pg-cluster creates it) works with
-- the same tables and procedures as everyone else.
GRANT SELECT, INSERT, UPDATE ON ALL TABLES IN SCHEMA public TO erp_clerk;
