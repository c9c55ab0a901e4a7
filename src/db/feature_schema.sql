-- Tables of the program's own features, beside the ledger tables of schema.sql.
-- New books get them from pennaro-initdb; older books get them the first time a
-- feature is used (db::ensureFeatureTables), so every statement here must be
-- safe to run again: CREATE TABLE IF NOT EXISTS / CREATE INDEX IF NOT EXISTS on
-- plain columns only (no dialect function, trigger or view: the stock sqlite3
-- shell must keep reading the file). Each feature adds its own block.

-- Bill import. ImportLog: one row per import (file, time, handler, how many
-- rows the bill had and how many became entries; Undone is the time it was
-- taken back). ImportRow: one row per entry an import wrote, with the key
-- that finds the bill row again (its order number, or date, amount and
-- counterparty), the entry's date (a number reused by a later entry is told
-- apart by it) and the merchant's order number that a refund names.
-- ImportRule: category rules (Field 对方 or 商品 "contains", 分类 "is").
-- ImportAccount: which account a paying method is. ImportMapping: the
-- columns of a bank's statement, by header name.
CREATE TABLE IF NOT EXISTS ImportLog (
  Num      INTEGER NOT NULL UNIQUE,
  FileName TEXT,
  Format   TEXT,
  DTime    TEXT,
  Operator TEXT,
  RowCount INTEGER,
  Posted   INTEGER,
  Undone   TEXT
);
CREATE TABLE IF NOT EXISTS ImportRow (
  ImportNum INTEGER,
  RowKey    TEXT,
  AccNum    INTEGER,
  DTime     TEXT,
  Refer     TEXT
);
CREATE INDEX IF NOT EXISTS ImportRow_RowKey ON ImportRow (RowKey);
CREATE INDEX IF NOT EXISTS ImportRow_Refer ON ImportRow (Refer);
CREATE INDEX IF NOT EXISTS ImportRow_ImportNum ON ImportRow (ImportNum);
CREATE TABLE IF NOT EXISTS ImportRule (
  Num     INTEGER NOT NULL UNIQUE,
  Field   TEXT,
  Pattern TEXT,
  PayGet  TEXT,
  Style   TEXT
);
CREATE TABLE IF NOT EXISTS ImportAccount (
  Method   TEXT NOT NULL UNIQUE,
  BankName TEXT
);
CREATE TABLE IF NOT EXISTS ImportMapping (
  Name               TEXT NOT NULL UNIQUE,
  Header             TEXT,
  Encoding           TEXT,
  DateColumn         TEXT,
  TimeColumn         TEXT,
  AmountColumn       TEXT,
  DebitColumn        TEXT,
  CreditColumn       TEXT,
  Sign               TEXT,
  DateOrder          TEXT,
  CounterpartyColumn TEXT,
  DescriptionColumn  TEXT,
  ReferenceColumn    TEXT
);

-- Budgets: the monthly and the yearly amount planned for an expense category,
-- named as PayStyle names it. A row without either amount is not kept.
CREATE TABLE IF NOT EXISTS Budget (
  Style      TEXT COLLATE RTRIM NOT NULL PRIMARY KEY,
  MonthMoney REAL,
  YearMoney  REAL
);
