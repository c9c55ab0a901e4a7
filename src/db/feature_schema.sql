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

-- The undo history: the user's actions, newest with the highest Id, at most
-- a few hundred of them. Undone is 1 for an action taken back (and ready to
-- be done again). Each row an action inserted, changed or deleted is kept
-- in UndoChange with its values before and after, as literals ("12,'2007/03/05
-- 12:30','付 ',35.5"); NULL stands for a row that was not there.
CREATE TABLE IF NOT EXISTS UndoAction (
  Id     INTEGER PRIMARY KEY,
  Label  TEXT NOT NULL,
  At     TEXT,
  Undone INTEGER NOT NULL DEFAULT 0
);
CREATE TABLE IF NOT EXISTS UndoChange (
  Action    INTEGER NOT NULL,
  TableName TEXT NOT NULL,
  RowId     INTEGER NOT NULL,
  Before    TEXT,
  After     TEXT
);
CREATE INDEX IF NOT EXISTS UndoChange_Action ON UndoChange (Action);

-- Automatic backups: how many of the newest copies are kept (KeepLast), for
-- how many days one copy a day is kept beyond them (KeepDays), and why the
-- last automatic backup failed until the program has shown it (Failure).
-- At most one row; without one the numbers are 10 and 30.
CREATE TABLE IF NOT EXISTS AutoBackup (
  KeepLast INTEGER,
  KeepDays INTEGER,
  Failure  TEXT
);
