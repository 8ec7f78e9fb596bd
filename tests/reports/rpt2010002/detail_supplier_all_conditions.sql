SET NOCOUNT ON
--数据来源：
--资产采购费用发票：   AA_AssetsExpenseInvoice、AA_AssetsExpenseInvoiceEntry
--创建临时表：

IF OBJECT_ID('tempdb..#AA_Rpt2010002')<>0 DROP TABLE #AA_Rpt2010002

CREATE TABLE #AA_Rpt2010002(
   FDate               DATETIME NULL,
   FBillNo             NVARCHAR(80) NOT NULL DEFAULT(''),
   FSupplyID           INT NOT NULL DEFAULT(0),
   FSupplyNumber       NVARCHAR(255) NOT NULL DEFAULT(''),
   FSupplyName         NVARCHAR(255) NOT NULL DEFAULT(''),
   FFeeID              INT NOT NULL DEFAULT(0),
   FFeeNumber          NVARCHAR(255) NOT NULL DEFAULT(''),
   FFeeName            NVARCHAR(255) NOT NULL DEFAULT(''),
   FExpenseTypeID      INT NOT NULL DEFAULT(0),
   FExpenseTypeNumber  NVARCHAR(255) NOT NULL DEFAULT(''),
   FExpenseTypeName    NVARCHAR(255) NOT NULL DEFAULT(''),
   FCurrency           NVARCHAR(255) NOT NULL DEFAULT(''),
   FUnit               NVARCHAR(255) NOT NULL DEFAULT(''),
   FQty                DECIMAL(23,10) NULL,
   FPrice              DECIMAL(23,10) NULL,
   FAmount             DECIMAL(23,10) NULL,
   FAmountFor          DECIMAL(23,10) NULL,
   FTaxRate            DECIMAL(23,10) NULL,
   FTaxAmt             DECIMAL(23,10) NULL,
   FTaxAmtFor          DECIMAL(23,10) NULL,
   FAmtNoTax           DECIMAL(23,10) NULL,
   FAmtNoTaxFor        DECIMAL(23,10) NULL,
   FChecker            NVARCHAR(255) NOT NULL DEFAULT(''),
   FNote               NVARCHAR(255) NOT NULL DEFAULT(''),
   FRptID              INT NOT NULL DEFAULT(0),
   FRptName            NVARCHAR(255) NOT NULL DEFAULT(''),
   FSumSort            SMALLINT NOT NULL DEFAULT(0),
   FQtyDecimal         INT NULL DEFAULT(0),
   FPriceDecimal       INT NULL DEFAULT(0)
   ) ON [PRIMARY]
--数据来源：
--单据包括：资产采购费用发票
--资产采购费用发票：   AA_AssetsExpenseInvoice、AA_AssetsExpenseInvoiceEntry
  INSERT INTO #AA_Rpt2010002 
   ( FDate,FBillNo,
     FSupplyID,FSupplyNumber,FSupplyName,FFeeID,FFeeNumber,FFeeName,FExpenseTypeID,FExpenseTypeNumber,FExpenseTypeName,
     FCurrency,FUnit,FQty,FPrice,FAmount,FAmountFor,FTaxRate,FTaxAmt,FTaxAmtFor,FAmtNoTax,FAmtNoTaxFor,FChecker,
     FNote,FRptID,FRptName,FSumSort,FQtyDecimal,FPriceDecimal
    )
  SELECT aa.FDate as FDate,IsNull(aa.FBillNo,'') as FBillNo,
     IsNull(aa.FSupplyID,0)as FSupplyID,IsNull(ts.FNumber,'') as FSupplyNumber,IsNull(ts.FName,'') as FSupplyName ,
     IsNull(ae.FExpenseID,0)as FFeeID,IsNull(tf.FNumber,'') as FFeeNumber,IsNull(tf.FName,'') as FFeeName,
     IsNull(ae.FExpenseType,0)as FExpenseTypeID,IsNull(tsm.FID,'') as FExpenseTypeNumber,IsNull(tsm.FName,'') as FExpenseTypeName,
     IsNull(tcy.FName,'') as FCurrency,IsNull(ae.FUnit,'') as FUnit,IsNull(ae.FQty,0) as FQty,IsNull(ae.FPrice,0) as FPrice,
     IsNull(ae.FAmount,0) as FAmount,IsNull(ae.FAmountFor,0) as FAmountFor,IsNull(ae.FTaxRate,0) as FTaxRate,
     IsNull(ae.FTaxAmt,0) as FTaxAmt,IsNull(ae.FTaxAmtFor,0) as FTaxAmtFor,
     IsNull(ae.FAmtNoTax,0) as FAmtNoTax,IsNull(ae.FAmtNoTaxFor,0) as FAmtNoTaxFor,
     Case When aa.FCheckerID > 0 Then tu.FName Else '' End as FChecker, 
     ae.FNote,2010002 as FRptID,'ZCCGFYFP' as FRptName,0 as FSumSort,4 as FQtyDecimal,4 as FPriceDecimal
  From AA_AssetsExpenseInvoice aa 
  Inner Join AA_AssetsExpenseInvoiceEntry ae On aa.FID = ae.FID
  Left Join AA_HookLogEntry ahe ON ahe.FClassID_SRC=1200006 AND ahe.FID_SRC=ae.FID AND ahe.FEntryID_SRC=ae.FEntryID
  Left Join AA_HookLog ah ON ah.FID=ahe.FID AND ah.FType=1
  Left Join t_Currency tcy On aa.FCurrencyID = tcy.FCurrencyID
  Left Join t_Supplier ts On aa.FSupplyID = ts.FItemID
  Left Join t_Fee tf On ae.FExpenseID = tf.FItemID
  Left Join t_subMessage tsm On ae.FExpenseType = tsm.FInterID And tsm.FTypeID=411  Left Join t_User tu On aa.FCheckerID = tu.FUserID
  WHERE   1=1 
 AND ( aa.FDate>='2024-02-01' AND aa.FDate<='2024-04-05' ) AND tf.FNumber >='01' AND tf.FNumber <='02' AND ts.FNumber>='01' AND (aa.FMultiCheckStatus = 2 OR aa.FMultiCheckStatus = 4 OR aa.FMultiCheckStatus =  8 ) AND (ahe.FID_SRC IS NULL  )
