-- The ERP tables the fixed-asset acquisition reports read (and the one they write),
-- with the columns their SQL names and nothing more. Plain Transact-SQL: the script
-- loads unchanged into SQL Server (batches separated by GO) and into the embedded engine.
-- Numbers and bill numbers are NVARCHAR(80), names NVARCHAR(255), quantities, prices
-- and amounts DECIMAL(28,10), dates DATETIME, flags SMALLINT, identifiers INT.

SET NOCOUNT ON

------------------------------------------------------------------------------------
-- Base data
------------------------------------------------------------------------------------

-- Item classes; their names label the item-class grouping of the grouped reports.
CREATE TABLE t_ItemClass (
   FItemClassID      INT            NOT NULL PRIMARY KEY,
   FNumber           NVARCHAR(80)   NOT NULL,
   FName             NVARCHAR(255)  NOT NULL,
   FName_en          NVARCHAR(255)  NULL,
   FName_cht         NVARCHAR(255)  NULL
)

-- Every base-data item of every class, with its hierarchical number ("01.02.003");
-- parents have FDetail 0. Read by the level tables of the grouped reports.
CREATE TABLE t_Item (
   FItemID           INT            NOT NULL PRIMARY KEY,
   FItemClassID      INT            NOT NULL,
   FNumber           NVARCHAR(80)   NOT NULL,
   FName             NVARCHAR(255)  NOT NULL,
   FFullNumber       NVARCHAR(80)   NOT NULL,
   FDetail           SMALLINT       NOT NULL DEFAULT(1)
)

-- Suppliers (item class 8); every report shows them.
CREATE TABLE t_Supplier (
   FItemID           INT            NOT NULL PRIMARY KEY,
   FNumber           NVARCHAR(80)   NOT NULL,
   FName             NVARCHAR(255)  NOT NULL
)

-- Departments (item class 2); reports 2010005, 2010006 and 2010007.
CREATE TABLE t_Department (
   FItemID           INT            NOT NULL PRIMARY KEY,
   FNumber           NVARCHAR(80)   NOT NULL,
   FName             NVARCHAR(255)  NOT NULL
)

-- Employees (item class 3); reports 2010005, 2010006 and 2010007.
CREATE TABLE t_Emp (
   FItemID           INT            NOT NULL PRIMARY KEY,
   FNumber           NVARCHAR(80)   NOT NULL,
   FName             NVARCHAR(255)  NOT NULL
)

-- Fees (item class 2014); report 2010002.
CREATE TABLE t_Fee (
   FItemID           INT            NOT NULL PRIMARY KEY,
   FNumber           NVARCHAR(80)   NOT NULL,
   FName             NVARCHAR(255)  NOT NULL
)

-- Inventory items (item class 4) with units and precisions; every report.
CREATE TABLE t_ICItem (
   FItemID           INT            NOT NULL PRIMARY KEY,
   FNumber           NVARCHAR(80)   NOT NULL,
   FName             NVARCHAR(255)  NOT NULL,
   FModel            NVARCHAR(255)  NULL,
   FUnitID           INT            NULL,
   FSecUnitID        INT            NULL,
   FQtyDecimal       SMALLINT       NULL,
   FPriceDecimal     SMALLINT       NULL
)

-- Auxiliary properties of items (colour, size); reports 2010001 and 2010005.
CREATE TABLE t_AuxItem (
   FItemID           INT            NOT NULL PRIMARY KEY,
   FName             NVARCHAR(255)  NOT NULL
)

-- Units of measure. Report 2010001 joins them by FItemID, the others by
-- FMeasureUnitID; both hold the same identifier.
CREATE TABLE t_MeasureUnit (
   FMeasureUnitID    INT            NOT NULL PRIMARY KEY,
   FItemID           INT            NOT NULL,
   FName             NVARCHAR(255)  NOT NULL,
   FCoefficient      DECIMAL(28,10) NULL
)

-- Currencies; FScale is the number of decimals of amounts (may be NULL).
CREATE TABLE t_Currency (
   FCurrencyID       INT            NOT NULL PRIMARY KEY,
   FNumber           NVARCHAR(80)   NOT NULL,
   FName             NVARCHAR(255)  NOT NULL,
   FScale            SMALLINT       NULL
)

-- Users: checkers and billers of the documents; every report.
CREATE TABLE t_User (
   FUserID           INT            NOT NULL PRIMARY KEY,
   FName             NVARCHAR(255)  NOT NULL
)

-- Warehouses and storage locations; report 2010006.
CREATE TABLE t_Stock (
   FItemID           INT            NOT NULL PRIMARY KEY,
   FName             NVARCHAR(255)  NOT NULL
)

CREATE TABLE t_StockPlace (
   FSPID             INT            NOT NULL PRIMARY KEY,
   FName             NVARCHAR(255)  NOT NULL
)

-- Small code lists; type 411 holds the expense types of report 2010002.
CREATE TABLE t_subMessage (
   FInterID          INT            NOT NULL PRIMARY KEY,
   FTypeID           INT            NOT NULL,
   FID               NVARCHAR(80)   NOT NULL,
   FName             NVARCHAR(255)  NOT NULL
)

-- Management accounts with their level; the level table of the currency grouping.
CREATE TABLE t_MgAcct (
   FMgAcctID         INT            NOT NULL PRIMARY KEY,
   FNumber           NVARCHAR(80)   NOT NULL,
   FName             NVARCHAR(255)  NOT NULL,
   FLevel            SMALLINT       NOT NULL,
   FDetail           SMALLINT       NOT NULL
)
GO

-- Budget items, projects, responsibility centres and special projects are items
-- of their own classes; the grouped reports join them by these names.
CREATE VIEW t_Base_BudgetItem AS
SELECT FItemID, FNumber, FName FROM t_Item WHERE FItemClassID = 2035
GO

CREATE VIEW t_Base_ProjectItem AS
SELECT FItemID, FNumber, FName FROM t_Item WHERE FItemClassID = 2036
GO

CREATE VIEW t_Base_RespCenter AS
SELECT FItemID, FNumber, FName FROM t_Item WHERE FItemClassID = 2040
GO

CREATE VIEW t_Base_SpecialProject AS
SELECT FItemID, FNumber, FName FROM t_Item WHERE FItemClassID = 2041
GO

------------------------------------------------------------------------------------
-- Settings and capabilities
------------------------------------------------------------------------------------

-- Per-user report settings; the display preference classes read and write it.
CREATE TABLE ICReportProfile (
   FRptID            INT            NOT NULL,
   FUserID           INT            NOT NULL,
   FPlan             NVARCHAR(1000) NOT NULL DEFAULT(''),
   FKey              NVARCHAR(80)   NOT NULL,
   FValue            NVARCHAR(1000) NOT NULL DEFAULT(''),
   FStatus           SMALLINT       NOT NULL DEFAULT(0)
)

-- Stored procedures the database offers; the data source's capability cache.
CREATE TABLE t_SupportedProc (
   FProcName         NVARCHAR(255)  NOT NULL PRIMARY KEY
)

-- Data types of the database; the data source's type-name routines.
CREATE TABLE t_DataTypeInfo (
   FDataType         INT            NOT NULL PRIMARY KEY,
   FTypeName         NVARCHAR(80)   NOT NULL,
   FMaxPrecision     INT            NULL,
   FMinScale         SMALLINT       NULL,
   FMaxScale         SMALLINT       NULL,
   FActualType       SMALLINT       NOT NULL,
   FBindType         SMALLINT       NOT NULL,
   FActualSize       INT            NULL
)

------------------------------------------------------------------------------------
-- Documents of the purchasing chain
------------------------------------------------------------------------------------

-- Purchase invoices of all subsystems (assets: FSubSystemID 3); report 2010001.
CREATE TABLE ICPurChase (
   FInterID          INT            NOT NULL PRIMARY KEY,
   FBillNo           NVARCHAR(80)   NOT NULL,
   FDate             DATETIME       NULL,
   FFincDate         DATETIME       NULL,
   FClassTypeID      INT            NOT NULL,
   FSubSystemID      SMALLINT       NOT NULL,
   FSupplyID         INT            NULL,
   FCurrencyID       INT            NULL,
   FCheckerID        INT            NULL,
   FHookStatus       SMALLINT       NULL,
   FNote             NVARCHAR(255)  NULL
)

CREATE TABLE ICPurChaseEntry (
   FInterID          INT            NOT NULL,
   FEntryID          INT            NOT NULL,
   FItemID           INT            NULL,
   FAuxPropID        INT            NULL,
   FUnitID           INT            NULL,
   FAuxQty           DECIMAL(28,10) NULL,
   FAuxPrice         DECIMAL(28,10) NULL,
   FQty              DECIMAL(28,10) NULL,
   FAmount           DECIMAL(28,10) NULL,
   FAmountIncludeTax DECIMAL(28,10) NULL,
   FTaxRate          DECIMAL(28,10) NULL,
   FTaxAmount        DECIMAL(28,10) NULL,
   FStdAmount        DECIMAL(28,10) NULL,
   FStdAmountIncludeTax DECIMAL(28,10) NULL,
   PRIMARY KEY (FInterID, FEntryID)
)

-- Asset purchase expense invoices; report 2010002. Line notes are never NULL: the
-- report copies them unguarded into a NOT NULL column.
CREATE TABLE AA_AssetsExpenseInvoice (
   FID               INT            NOT NULL PRIMARY KEY,
   FBillNo           NVARCHAR(80)   NOT NULL,
   FDate             DATETIME       NULL,
   FSupplyID         INT            NULL,
   FCurrencyID       INT            NULL,
   FCheckerID        INT            NULL,
   FMultiCheckStatus SMALLINT       NOT NULL DEFAULT(0)
)

CREATE TABLE AA_AssetsExpenseInvoiceEntry (
   FID               INT            NOT NULL,
   FEntryID          INT            NOT NULL,
   FExpenseID        INT            NULL,
   FExpenseType      INT            NULL,
   FUnit             NVARCHAR(80)   NULL,
   FQty              DECIMAL(28,10) NULL,
   FPrice            DECIMAL(28,10) NULL,
   FAmount           DECIMAL(28,10) NULL,
   FAmountFor        DECIMAL(28,10) NULL,
   FTaxRate          DECIMAL(28,10) NULL,
   FTaxAmt           DECIMAL(28,10) NULL,
   FTaxAmtFor        DECIMAL(28,10) NULL,
   FAmtNoTax         DECIMAL(28,10) NULL,
   FAmtNoTaxFor      DECIMAL(28,10) NULL,
   FNote             NVARCHAR(255)  NOT NULL DEFAULT(''),
   PRIMARY KEY (FID, FEntryID)
)

-- Hook (matching) log: which expense invoice lines were matched; report 2010002.
CREATE TABLE AA_HookLog (
   FID               INT            NOT NULL PRIMARY KEY,
   FType             SMALLINT       NOT NULL
)

CREATE TABLE AA_HookLogEntry (
   FID               INT            NOT NULL,
   FEntryID          INT            NOT NULL,
   FClassID_SRC      INT            NOT NULL,
   FID_SRC           INT            NOT NULL,
   FEntryID_SRC      INT            NOT NULL,
   PRIMARY KEY (FID, FEntryID)
)

-- Asset applications (document class 1200001); report 2010007.
CREATE TABLE AA_AssetsApp (
   FID               INT            NOT NULL PRIMARY KEY,
   FBillNo           NVARCHAR(80)   NOT NULL,
   FAppDate          DATETIME       NULL,
   FMultiCheckStatus SMALLINT       NOT NULL DEFAULT(0),
   FCloseStatus      SMALLINT       NOT NULL DEFAULT(0),
   FAppDeptID        INT            NULL,
   FUseDeptID        INT            NULL,
   FAppUserID        INT            NULL,
   FCheckerID        INT            NULL,
   FCheckDate        DATETIME       NULL,
   FBiller           INT            NULL,
   FNote             NVARCHAR(255)  NOT NULL DEFAULT('')
)

CREATE TABLE AA_AssetsAppEntry (
   FID               INT            NOT NULL,
   FEntryID          INT            NOT NULL,
   FItemID           INT            NULL,
   FUnitID           INT            NULL,
   FSecCoefficient   DECIMAL(28,10) NULL,
   FAssistantQty     DECIMAL(28,10) NULL,
   FSupplyID         INT            NULL,
   FAppQty           DECIMAL(28,10) NULL,
   FCheckQty         DECIMAL(28,10) NULL,
   FRelationFAQty    DECIMAL(28,10) NULL,
   FRelationLVCQty   DECIMAL(28,10) NULL,
   FNoDoQty          DECIMAL(28,10) NULL,
   FPlanStockQty     DECIMAL(28,10) NULL,
   FPlanUseQty       DECIMAL(28,10) NULL,
   FRelationStockQty DECIMAL(28,10) NULL,
   PRIMARY KEY (FID, FEntryID)
)

-- Asset procurement orders (class 1200002); report 2010005 and the chains of 2010007.
CREATE TABLE AA_AssetsProcurement (
   FID               INT            NOT NULL PRIMARY KEY,
   FBillNo           NVARCHAR(80)   NOT NULL,
   FDate             DATETIME       NULL,
   FSupplyID         INT            NULL,
   FCurrencyID       INT            NULL,
   FProcurementID    INT            NULL,
   FEmployeeID       INT            NULL,
   FCloseStatus      SMALLINT       NOT NULL DEFAULT(0),
   FMultiCheckStatus SMALLINT       NOT NULL DEFAULT(0)
)

CREATE TABLE AA_AssetsProcurementEntry (
   FID               INT            NOT NULL,
   FEntryID          INT            NOT NULL,
   FItemID           INT            NULL,
   FItemAuxPropertyID INT           NULL,
   FUnitID           INT            NULL,
   FDeliveryDate     DATETIME       NULL,
   FQty              DECIMAL(28,10) NULL,
   FRealTaxPrice     DECIMAL(28,10) NULL,
   FTotalAmt         DECIMAL(28,10) NULL,
   FTotalAmtFor      DECIMAL(28,10) NULL,
   FAuxRelateQty     DECIMAL(28,10) NULL,
   FAcceptQty        DECIMAL(28,10) NULL,
   FInvoiceQty       DECIMAL(28,10) NULL,
   FReceiveRelateAmt DECIMAL(28,10) NULL,
   FCloseStatus      SMALLINT       NOT NULL DEFAULT(0),
   FHandCloseStatus  SMALLINT       NOT NULL DEFAULT(0),
   FID_SRC           INT            NOT NULL DEFAULT(0),
   FEntryID_SRC      INT            NOT NULL DEFAULT(0),
   FClassID_SRC      INT            NOT NULL DEFAULT(0),
   FBillNo_SRC       NVARCHAR(80)   NOT NULL DEFAULT(''),
   PRIMARY KEY (FID, FEntryID)
)

-- Asset inspections (class 1200003); the chains of report 2010007.
CREATE TABLE AA_AssetsInspec (
   FID               INT            NOT NULL PRIMARY KEY,
   FBillNo           NVARCHAR(80)   NOT NULL
)

CREATE TABLE AA_AssetsInspecEntry (
   FID               INT            NOT NULL,
   FEntryID          INT            NOT NULL,
   FID_SRC           INT            NOT NULL DEFAULT(0),
   FEntryID_SRC      INT            NOT NULL DEFAULT(0),
   FClassID_SRC      INT            NOT NULL DEFAULT(0),
   FBillNo_SRC       NVARCHAR(80)   NOT NULL DEFAULT(''),
   PRIMARY KEY (FID, FEntryID)
)

-- Asset acceptances (class 1200004); the chains of report 2010007.
CREATE TABLE AA_AssetsAcceptance (
   FID               INT            NOT NULL PRIMARY KEY,
   FBillNo           NVARCHAR(80)   NOT NULL
)

CREATE TABLE AA_AssetsAcceptanceEntry (
   FID               INT            NOT NULL,
   FEntryID          INT            NOT NULL,
   FID_SRC           INT            NOT NULL DEFAULT(0),
   FEntryID_SRC      INT            NOT NULL DEFAULT(0),
   FClassID_SRC      INT            NOT NULL DEFAULT(0),
   FBillNo_SRC       NVARCHAR(80)   NOT NULL DEFAULT(''),
   PRIMARY KEY (FID, FEntryID)
)

-- Asset requisitions; reports 2010006 and 2010007.
CREATE TABLE CIP_AssetsApplication (
   FID               INT            NOT NULL PRIMARY KEY,
   FBillNo           NVARCHAR(80)   NOT NULL,
   FDate             DATETIME       NULL,
   FMultiCheckStatus SMALLINT       NOT NULL DEFAULT(0),
   FSourceID         SMALLINT       NULL,
   FProjectID        INT            NULL,
   FApplyDeptID      INT            NULL,
   FApplyID          INT            NULL,
   FPurposeID        SMALLINT       NULL,
   FCheckerID        INT            NULL,
   FCheckDate        DATETIME       NULL,
   FBiller           INT            NULL,
   FNote             NVARCHAR(255)  NOT NULL DEFAULT('')
)

CREATE TABLE CIP_AssetsApplicationEntry (
   FID               INT            NOT NULL,
   FEntryID          INT            NOT NULL,
   FItemID           INT            NULL,
   FUnitID           INT            NULL,
   FSecCoefficient   DECIMAL(28,10) NULL,
   FAuxQty           DECIMAL(28,10) NULL,
   FSupplyID         INT            NULL,
   FBatchNo          NVARCHAR(80)   NULL,
   FStockID          INT            NULL,
   FDcspID           INT            NULL,
   FCheckQty         DECIMAL(28,10) NULL,
   FPrice            DECIMAL(28,10) NULL,
   FAmount           DECIMAL(28,10) NULL,
   FTaxAmt           DECIMAL(28,10) NULL,
   FCIPQty           DECIMAL(28,10) NULL,
   FCIPAmount        DECIMAL(28,10) NULL,
   FCIPTaxAmt        DECIMAL(28,10) NULL,
   FFAQty            DECIMAL(28,10) NULL,
   FFAAmount         DECIMAL(28,10) NULL,
   FFATaxAmt         DECIMAL(28,10) NULL,
   FLVCQty           DECIMAL(28,10) NULL,
   FLVCAmount        DECIMAL(28,10) NULL,
   FLVCTaxAmt        DECIMAL(28,10) NULL,
   FID_SRC           INT            NOT NULL DEFAULT(0),
   FEntryID_SRC      INT            NOT NULL DEFAULT(0),
   FClassID_SRC      INT            NOT NULL DEFAULT(0),
   FBillNo_SRC       NVARCHAR(80)   NOT NULL DEFAULT(''),
   PRIMARY KEY (FID, FEntryID)
)
GO
