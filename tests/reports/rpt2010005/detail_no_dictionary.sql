SET NOCOUNT ON
--数据来源：
--创建临时表：
IF OBJECT_ID('tempdb..#AA_Rpt2010005')<>0 DROP TABLE #AA_Rpt2010005

CREATE TABLE #AA_Rpt2010005(
   FSupplyNumber     NVARCHAR(255) NOT NULL DEFAULT(''),
   FSupplyName       NVARCHAR(255) NOT NULL DEFAULT(''),
   FBillNo           NVARCHAR(80) NOT NULL DEFAULT(''),
   FDate             DATETIME NULL,
   FDeliveryDate     DATETIME NULL,
   FItemNumber       NVARCHAR(255) NOT NULL DEFAULT(''),
   FItemName         NVARCHAR(255) NOT NULL DEFAULT(''),
   FItemModel        NVARCHAR(255) NOT NULL DEFAULT(''),
   FItemAuxProPerty  NVARCHAR(255) NOT NULL DEFAULT(''),
   FCloseStatus      NVARCHAR(255) NOT NULL DEFAULT(''),
   FRowCloseStatus   NVARCHAR(255) NOT NULL DEFAULT(''),
   FUnit             NVARCHAR(255) NOT NULL DEFAULT(''),
   FCurrency         NVARCHAR(255) NOT NULL DEFAULT(''),
   FQty              DECIMAL(23,10) NOT NULL DEFAULT(0),
   FRealTaxPrice     DECIMAL(23,10) NULL,
   FTotalAmt         DECIMAL(23,10) NULL,
   FTotalAmtFor      DECIMAL(23,10) NULL,
   FArriveQty        DECIMAL(23,10) NULL,
   FUnArriveQty      DECIMAL(23,10) NULL,
   FAcceptanceQty    DECIMAL(23,10) NULL,
   FUnAcceptanceQty  DECIMAL(23,10) NULL,
   FInvoiceQty       DECIMAL(23,10) NULL,
   FUnInvoiceQty     DECIMAL(23,10) NULL,
   FSettleAmt        DECIMAL(23,10) NULL,
   FUnSettleAmt      DECIMAL(23,10) NULL,
   FSumSort          SMALLINT NOT NULL DEFAULT(0),
   FQtyDecimal       INT NULL DEFAULT(0), --数量精度
   FPriceDecimal     INT NULL DEFAULT(0) ---单价精度
   ) ON [PRIMARY]
--数据来源：
--单据包括:资产采购订单
  INSERT INTO #AA_Rpt2010005 
   ( FSupplyNumber,FSupplyName,FBillNo,FDate,FDeliveryDate,FItemNumber,FItemName,FItemModel,
     FItemAuxProPerty,FCloseStatus,FRowCloseStatus,FUnit,FCurrency,FQty,FRealTaxPrice,
     FTotalAmt,FTotalAmtFor,FArriveQty,FUnArriveQty,FAcceptanceQty,FUnAcceptanceQty,
     FInvoiceQty, FUnInvoiceQty, FSettleAmt,FUnSettleAmt,FSumSort,FQtyDecimal,FPriceDecimal
    )
  --资产采购订单---
  SELECT IsNull(ts.FNumber,'') as FSupplyNumber,IsNull(ts.FName,'') as FSupplyName,
       IsNull(aa.FBillNo,'') as FBillNo,aa.FDate as FDate,ae.FDeliveryDate as FDeliveryDate,
       IsNull(tc.FNumber,'') as FItemNumber,IsNull(tc.FName,'') as FItemName,IsNull(tc.FModel,'') as FItemModel,
       IsNull(taux.FName,'') asFItemAuxProPerty, 
       Case When aa.FCloseStatus = 0 Then'未关闭' Else'关闭' End as FCloseStatus, 
       Case When ae.FCloseStatus = 0 Then'未关闭' Else'关闭' End as FRowCloseStatus, 
       IsNull(tm.FName,'') as FUnit,IsNull(tcy.FName,'') as FCurrency,IsNull(ae.FQty,0) as FQty,IsNull(ae.FRealTaxPrice,0) as FRealTaxPrice,
       IsNull(ae.FTotalAmt,0) as FTotalAmt,IsNull(ae.FTotalAmtFor,0) as FTotalAmtFor,IsNull(ae.FAuxRelateQty,0) as FArriveQty,(IsNull(ae.FQty,0) - IsNull(ae.FAuxRelateQty,0)) as FUnArriveQty,
       IsNull(ae.FAcceptQty,0) as FAcceptanceQty,(IsNull(ae.FQty,0) - IsNull(ae.FAcceptQty,0)) as FUnAcceptanceQty,
       IsNull(ae.FInvoiceQty,0) as FInvoiceQty,(IsNull(ae.FQty,0) - IsNull(ae.FInvoiceQty,0)) as FUnInvoiceQty,
       IsNull(ae.FReceiveRelateAmt,0) as FSettleAmt,(IsNull(ae.FTotalAmt,0) - IsNull(ae.FReceiveRelateAmt,0)) as FUnSettleAmt,
       0 as FSumSort,IsNull(tc.FQtyDecimal,4) ,IsNull(tc.FPriceDecimal,2)
       FROM AA_AssetsProcurement aa
       Inner Join AA_AssetsProcurementEntry ae On aa.FID = ae.FID
       Left Join t_Department td On aa.FProcurementID = td.FItemID
       Left Join t_Emp te On aa.FEmployeeID = te.FItemID
       Left Join t_ICItem tc On ae.FItemID = tc.FItemID
       Left Join t_AuxItem taux On ae.FItemAuxPropertyID = taux.FItemID
       Left Join t_MeasureUnit tm On ae.FUnitID = tm.FMeasureUnitID
       Left Join t_Supplier ts On aa.FSupplyID = ts.FItemID
       Left Join t_Currency tcy On aa.FCurrencyID = tcy.FCurrencyID
       WHERE 1=1 

