-- The ledger database. Every text column ignores trailing blanks in
-- comparisons, grouping and unique keys, because several writers append one
-- blank after a category or type while lookups use the bare name.
-- No dialect function (Format, Mid, val) may appear here: the stock sqlite3
-- shell would compute such keys with its own built-ins.

CREATE TABLE account (
  财务标识 INTEGER NOT NULL UNIQUE,
  日期     TEXT COLLATE RTRIM,
  收负类型 TEXT COLLATE RTRIM,
  帐目类型 TEXT COLLATE RTRIM,
  钱额     REAL,
  说明     TEXT COLLATE RTRIM,
  经手人   TEXT COLLATE RTRIM,
  银行     TEXT COLLATE RTRIM
);
-- Each ledger's date index also holds the columns its list shows, in the
-- list's order, so that a load walks the index alone instead of looking up
-- every row it lists in the table.
CREATE INDEX account_date ON account (日期, 财务标识, 收负类型, 帐目类型, 钱额, 经手人, 说明);

CREATE TABLE GetMoney (
  Num       INTEGER,
  DTime     TEXT COLLATE RTRIM,
  MoneyFrom TEXT COLLATE RTRIM,
  nMoney    REAL,
  MoneyTo   TEXT COLLATE RTRIM,
  Operator  TEXT COLLATE RTRIM,
  AccNum    INTEGER
);
CREATE INDEX GetMoney_AccNum ON GetMoney (AccNum);
CREATE INDEX GetMoney_Num ON GetMoney (Num);
CREATE INDEX GetMoney_DTime ON GetMoney (DTime, Num, MoneyFrom, nMoney, MoneyTo);

CREATE TABLE PayMoney (
  Num      INTEGER,
  DTime    TEXT COLLATE RTRIM,
  PayStyle TEXT COLLATE RTRIM,
  nMoney   REAL,
  FromBank TEXT COLLATE RTRIM,
  Operator TEXT COLLATE RTRIM,
  AccNum   INTEGER
);
CREATE INDEX PayMoney_AccNum ON PayMoney (AccNum);
CREATE INDEX PayMoney_DTime ON PayMoney (DTime, Num, PayStyle, nMoney);

CREATE TABLE CashAccount (
  Num      INTEGER,
  DTime    TEXT COLLATE RTRIM,
  NStyle   TEXT COLLATE RTRIM,
  nMoney   REAL,
  PayGet   TEXT COLLATE RTRIM,
  Details  TEXT COLLATE RTRIM,
  Operator TEXT COLLATE RTRIM,
  AccNum   INTEGER
);
CREATE INDEX CashAccount_AccNum ON CashAccount (AccNum);
CREATE INDEX CashAccount_DTime ON CashAccount (DTime, Num, nMoney, PayGet, NStyle);

CREATE TABLE BankAccount (
  Num      INTEGER,
  DTime    TEXT COLLATE RTRIM,
  PayGet   TEXT COLLATE RTRIM,
  NStyle   TEXT COLLATE RTRIM,
  nMoney   REAL,
  Details  TEXT COLLATE RTRIM,
  Operator TEXT COLLATE RTRIM,
  BankName TEXT COLLATE RTRIM,
  AccNum   INTEGER
);
CREATE INDEX BankAccount_AccNum ON BankAccount (AccNum);
CREATE INDEX BankAccount_DTime ON BankAccount (DTime, BankName, NStyle, nMoney, PayGet);

CREATE TABLE InvestMoney (
  DTime       TEXT COLLATE RTRIM,
  InvestStyle TEXT COLLATE RTRIM,
  nMoney      REAL,
  nLastMoney  REAL,
  nGain       REAL,
  InvestBank  TEXT COLLATE RTRIM,
  Operator    TEXT COLLATE RTRIM,
  AccNum      INTEGER,
  nState      TEXT COLLATE RTRIM
);
CREATE INDEX InvestMoney_AccNum ON InvestMoney (AccNum);
CREATE INDEX InvestMoney_DTime ON InvestMoney (DTime, AccNum, InvestStyle, nMoney, nLastMoney, nGain, InvestBank, nState);

CREATE TABLE PayStyle (
  Num         INTEGER NOT NULL UNIQUE,
  Style       TEXT COLLATE RTRIM UNIQUE,
  nLevel      INTEGER,
  FirstLevel  INTEGER,
  ParentStyle TEXT COLLATE RTRIM,
  FullID      TEXT COLLATE RTRIM,
  EveryPay    INTEGER,
  IsAuto      INTEGER,
  PMoney      REAL,
  DayNum      INTEGER,
  SelectType  TEXT COLLATE RTRIM,
  BeginDate   TEXT COLLATE RTRIM,
  EndDate     TEXT COLLATE RTRIM,
  MidDate     TEXT COLLATE RTRIM,
  BankName    TEXT COLLATE RTRIM
);

CREATE TABLE GetStyle (
  Num         INTEGER NOT NULL UNIQUE,
  Style       TEXT COLLATE RTRIM UNIQUE,
  nLevel      INTEGER,
  FirstLevel  INTEGER,
  ParentStyle TEXT COLLATE RTRIM,
  FullID      TEXT COLLATE RTRIM,
  EveryGet    INTEGER,
  IsAuto      INTEGER,
  GMoney      REAL,
  DayNum      INTEGER,
  SelectType  TEXT COLLATE RTRIM,
  BeginDate   TEXT COLLATE RTRIM,
  EndDate     TEXT COLLATE RTRIM,
  MidDate     TEXT COLLATE RTRIM,
  BankName    TEXT COLLATE RTRIM
);

CREATE TABLE Bank (
  Num        INTEGER NOT NULL UNIQUE,
  BankName   TEXT COLLATE RTRIM UNIQUE,
  nLevel     INTEGER,
  FirstLevel INTEGER,
  ParentBank TEXT COLLATE RTRIM,
  FullID     TEXT COLLATE RTRIM,
  AccTypeID  TEXT COLLATE RTRIM,
  OpenBank   TEXT COLLATE RTRIM,
  CustName   TEXT COLLATE RTRIM,
  AccNumber  TEXT COLLATE RTRIM,
  ActiveDate TEXT COLLATE RTRIM,
  SumMoney   REAL,
  FromBank   TEXT COLLATE RTRIM
);

CREATE TABLE SysAllUser (
  SysUserName TEXT COLLATE RTRIM UNIQUE,
  SysPwd      TEXT COLLATE RTRIM,
  Details     TEXT COLLATE RTRIM
);

-- The statistics sum a category's entries of one type, a direction's bank
-- and cash rows, and a bank's rows; these indexes find them and carry every
-- column those statements read, so that no table row is visited. They also
-- spare the joins the engine's automatic indexes, which it cannot be
-- trusted with on columns that ignore trailing blanks.
CREATE INDEX account_style ON account (帐目类型, 收负类型, 日期, 钱额, 财务标识);
CREATE INDEX account_type ON account (收负类型, 帐目类型, 日期, 钱额, 财务标识);
CREATE INDEX BankAccount_BankName ON BankAccount (BankName, PayGet, DTime, nMoney, Num);
CREATE INDEX BankAccount_PayGet ON BankAccount (PayGet, BankName, DTime, nMoney, Num);
CREATE INDEX CashAccount_PayGet ON CashAccount (PayGet, DTime, nMoney);
CREATE INDEX PayStyle_Parent ON PayStyle (ParentStyle, nLevel);
CREATE INDEX GetStyle_Parent ON GetStyle (ParentStyle, nLevel);
CREATE INDEX Bank_Parent ON Bank (ParentBank, nLevel);
