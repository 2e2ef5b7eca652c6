-- Demo ERP, tables: the part of a U8 account set (and of the server's
-- master and UFSystem databases) that Quillmark reads and writes, declared
-- as on SQL Server. quillmark-demo-erp passes each statement (statements
-- end at a line "GO") through the program's own T-SQL translation for the
-- embedded engine, so these tables get the same strict typing as the
-- tables the program creates itself: integer, decimal and datetime columns
-- refuse values SQL Server could not convert (a quantity 'abc'), texts
-- longer than their column are refused, and texts compare without regard
-- to case as under the ERP's Chinese_PRC_CI_AS collation.
--
-- The rows come from demo_erp.sql.

-- The databases on the server.
CREATE TABLE master.dbo.SysDatabases (
  Name  nvarchar(128) NOT NULL PRIMARY KEY,
  dbid  smallint      NOT NULL
)
GO

-- Identity counters per account (cAcc_Id) and voucher kind.
CREATE TABLE UFSystem.dbo.UA_Identity (
  cAcc_Id     char(3)      NOT NULL,
  cVouchType  nvarchar(50) NOT NULL,
  iFatherId   int          NOT NULL,
  iChildId    int          NOT NULL,
  PRIMARY KEY (cAcc_Id, cVouchType)
)
GO

CREATE TABLE department (
  cDepCode  nvarchar(12)  NOT NULL PRIMARY KEY,
  cDepName  nvarchar(255) NOT NULL,
  bDepEnd   bit           NOT NULL DEFAULT 1
)
GO

-- The HR archive; person is the ERP's own list of handlers.
CREATE TABLE hr_hi_person (
  cPsn_Num     nvarchar(20)  NOT NULL PRIMARY KEY,
  cPsn_Name    nvarchar(40)  NOT NULL,
  cPsn_NameEN  nvarchar(60),
  cDept_num    nvarchar(12),
  JobNumber    nvarchar(40),
  dEnterDate   datetime
)
GO

CREATE TABLE person (
  cPersonCode  nvarchar(20)  NOT NULL PRIMARY KEY,
  cPersonName  nvarchar(40)  NOT NULL,
  cDepCode     nvarchar(12)
)
GO

-- User-defined archive 0001: the devices.
CREATE TABLE U8CUSTDEF_0001_E001 (
  ID         int           NOT NULL PRIMARY KEY,
  cNo        nvarchar(60),
  cCardName  nvarchar(120),
  cx         nvarchar(60)
)
GO

CREATE TABLE Warehouse (
  cWhCode  nvarchar(10) NOT NULL PRIMARY KEY,
  cWhName  nvarchar(20) NOT NULL,
  bWhPos   bit          NOT NULL DEFAULT 1
)
GO

-- Receipt and issue categories: bRdFlag 1 receipt, 0 issue; bRdEnd 1 for
-- a leaf category.
CREATE TABLE Rd_Style (
  cRdCode   nvarchar(5)  NOT NULL PRIMARY KEY,
  cRdName   nvarchar(12) NOT NULL,
  bRdFlag   tinyint      NOT NULL,
  bRdEnd    bit          NOT NULL,
  iRdGrade  tinyint      NOT NULL
)
GO

CREATE TABLE ComputationUnit (
  cComunitCode  nvarchar(35) NOT NULL PRIMARY KEY,
  cComUnitName  nvarchar(60) NOT NULL,
  cGroupCode    nvarchar(35) NOT NULL DEFAULT '01'
)
GO

CREATE TABLE Position (
  cPosCode  nvarchar(20) NOT NULL PRIMARY KEY,
  cPosName  nvarchar(50) NOT NULL,
  cWhCode   nvarchar(10),
  bPosEnd   bit          NOT NULL DEFAULT 1
)
GO

-- Inventory: cPosition is the default bin position, cInvDefine3 holds its
-- name, dEDate the end date of an item no longer used.
CREATE TABLE inventory (
  cInvCode      nvarchar(60)  NOT NULL PRIMARY KEY,
  cInvName      nvarchar(255) NOT NULL,
  cInvStd       nvarchar(255),
  cComUnitCode  nvarchar(35),
  cPosition     nvarchar(20),
  cInvDefine3   nvarchar(120),
  dSDate        datetime      NOT NULL,
  dEDate        datetime
)
GO

-- Stock on hand per warehouse, item and batch.
CREATE TABLE CurrentStock (
  AutoID     int           IDENTITY(1,1) NOT NULL,
  cWhCode    nvarchar(10)  NOT NULL,
  cInvCode   nvarchar(60)  NOT NULL,
  cBatch     nvarchar(60),
  iQuantity  decimal(28,6) NOT NULL
)
GO

-- Detail lines of the other stock vouchers: the identifiers the counter
-- maintenance reads, and a little more to make them look real.
CREATE TABLE rdrecords01 (
  AutoID     int           NOT NULL PRIMARY KEY,
  ID         int           NOT NULL,
  cInvCode   nvarchar(60)  NOT NULL,
  iQuantity  decimal(28,6),
  cPosition  nvarchar(20),
  irowno     int
)
GO

CREATE TABLE rdrecords08 (
  AutoID     int           NOT NULL PRIMARY KEY,
  ID         int           NOT NULL,
  cInvCode   nvarchar(60)  NOT NULL,
  iQuantity  decimal(28,6),
  cPosition  nvarchar(20),
  irowno     int
)
GO

CREATE TABLE rdrecords09 (
  AutoID     int           NOT NULL PRIMARY KEY,
  ID         int           NOT NULL,
  cInvCode   nvarchar(60)  NOT NULL,
  iQuantity  decimal(28,6),
  cPosition  nvarchar(20),
  irowno     int
)
GO

CREATE TABLE rdrecords10 (
  AutoID     int           NOT NULL PRIMARY KEY,
  ID         int           NOT NULL,
  cInvCode   nvarchar(60)  NOT NULL,
  iQuantity  decimal(28,6),
  cPosition  nvarchar(20),
  irowno     int
)
GO

CREATE TABLE rdrecords32 (
  AutoID     int           NOT NULL PRIMARY KEY,
  ID         int           NOT NULL,
  cInvCode   nvarchar(60)  NOT NULL,
  iQuantity  decimal(28,6),
  cPosition  nvarchar(20),
  irowno     int
)
GO

CREATE TABLE rdrecords34 (
  AutoID     int           NOT NULL PRIMARY KEY,
  ID         int           NOT NULL,
  cInvCode   nvarchar(60)  NOT NULL,
  iQuantity  decimal(28,6),
  cPosition  nvarchar(20),
  irowno     int
)
GO

CREATE TABLE rdrecord11 (
  ID                int           NOT NULL PRIMARY KEY,
  bRdFlag           tinyint       NOT NULL,
  cVouchType        nvarchar(2)   NOT NULL,
  cBusType          nvarchar(12),
  cSource           nvarchar(50)  NOT NULL,
  cWhCode           nvarchar(10),
  dDate             datetime      NOT NULL,
  cCode             nvarchar(30)  NOT NULL,
  cRdCode           nvarchar(5),
  cDepCode          nvarchar(12),
  cPersonCode       nvarchar(20),
  bTransFlag        bit           NOT NULL,
  cMaker            nvarchar(20),
  bpufirst          bit           NOT NULL,
  biafirst          bit           NOT NULL,
  iMQuantity        decimal(28,6),
  VT_ID             int,
  bIsSTQc           bit           NOT NULL,
  iproorderid       int,
  bOMFirst          bit,
  bFromPreYear      bit,
  bIsComplement     smallint,
  iDiscountTaxType  tinyint,
  ireturncount      int,
  iverifystate      int,
  iswfcontrolled    int,
  dnmaketime        datetime,
  bredvouch         int,
  bmotran           tinyint,
  bHYVouch          tinyint,
  iPrintCount       int
)
GO

CREATE TABLE rdrecords11 (
  AutoID             int           NOT NULL PRIMARY KEY,
  ID                 int           NOT NULL,
  cInvCode           nvarchar(60)  NOT NULL,
  iQuantity          decimal(28,6),
  iFlag              tinyint       NOT NULL,
  cPosition          nvarchar(20),
  cDefine22          nvarchar(60),
  cDefine23          nvarchar(60),
  cDefine24          nvarchar(60),
  bLPUseFree         bit,
  iOriTrackID        bigint,
  bCosting           bit,
  bVMIUsed           bit,
  iExpiratDateCalcu  smallint,
  isotype            int,
  ipesotype          int,
  irowno             int,
  iposflag           tinyint
)
GO

-- Bin-position movements. AutoID is an identity column; the station gives
-- its values explicitly (IDENTITY_INSERT).
CREATE TABLE InvPosition (
  AutoID      int           IDENTITY(1,1) NOT NULL,
  RdsID       int,
  RdID        int,
  cWhCode     nvarchar(10),
  cPosCode    nvarchar(20),
  cInvCode    nvarchar(60)  NOT NULL,
  iQuantity   decimal(28,6),
  cHandler    nvarchar(20),
  dDate       datetime,
  bRdFlag     tinyint       NOT NULL,
  iTrackId    bigint,
  iMassDate   int,
  cvouchtype  nvarchar(2),
  dVouchDate  datetime
)
GO
