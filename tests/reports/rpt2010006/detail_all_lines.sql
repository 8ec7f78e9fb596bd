SET NOCOUNT ON
--数据来源：
--资产领用单： CIP_AssetsApplication、CIP_AssetsApplicationEntry
--创建临时表：
IF OBJECT_ID('tempdb..#AA_Rpt2010006')<>0 DROP TABLE #AA_Rpt2010006

CREATE TABLE #AA_Rpt2010006(
   FDate               DATETIME NOT NULL DEFAULT(GETDATE()), --领用日期
   FMultiCheckStatus   NVARCHAR(255) NOT NULL DEFAULT('2'), --是否审核
   FSource             NVARCHAR(80) NOT NULL DEFAULT(''),   --来源
   FBillNo             NVARCHAR(80) NOT NULL DEFAULT(''),
   FProjectID          INT NOT NULL DEFAULT(0),
   FProjectNumber      NVARCHAR(255) NOT NULL DEFAULT(''),
   FItemID             INT NOT NULL DEFAULT(0),
   FItemNumber         NVARCHAR(255) NOT NULL DEFAULT(''),
   FItemName           NVARCHAR(255) NOT NULL DEFAULT(''),
   FItemModel          NVARCHAR(255) NOT NULL DEFAULT(''),
   FBaseUnit           NVARCHAR(255) NOT NULL DEFAULT(''),  --基本单位
   FUnit               NVARCHAR(255) NOT NULL DEFAULT(''),
   FAuxUnit            NVARCHAR(255) NOT NULL DEFAULT(''),  --辅助单位
   FSecCoefficient     DECIMAL(23,10) NULL,                 --换算率
   FAuxQty             DECIMAL(23,10) NULL,                 --辅助数量
   FSupplyID           INT NOT NULL DEFAULT(0),
   FSupplyNumber       NVARCHAR(255) NOT NULL DEFAULT(''),
   FSupplyName         NVARCHAR(255) NOT NULL DEFAULT(''),
   FUseDeptID          INT NOT NULL DEFAULT(0),             --使用部门
   FUseDeptNumber      NVARCHAR(255) NOT NULL DEFAULT(''),
   FUseDeptName        NVARCHAR(255) NOT NULL DEFAULT(''),
   FAppUserID          INT NOT NULL DEFAULT(0),             --领用人
   FAppUserNumber      NVARCHAR(255) NOT NULL DEFAULT(''),
   FAppUserName        NVARCHAR(255) NOT NULL DEFAULT(''),
   FBatchNo            NVARCHAR(255) NOT NULL DEFAULT(''),
   FWarehouse          NVARCHAR(255) NOT NULL DEFAULT(''),
   FBin                NVARCHAR(255) NOT NULL DEFAULT(''),
   FCheckQty           DECIMAL(23,10) NULL,                 --领用数量
   FPrice              DECIMAL(23,10) NULL,
   FAmount             DECIMAL(23,10) NULL,
   FTaxAmt             DECIMAL(23,10) NULL,
   FUseFor             NVARCHAR(255) NOT NULL DEFAULT(''),  --用途
   FRelationCardQty    DECIMAL(23,10) NULL,                 --已转卡片数量
   FNoDoCardQty        DECIMAL(23,10) NULL,                 --未转卡片数量
   FRelationCardBal    DECIMAL(23,10) NULL,                 --已转卡片金额
   FCardDiffBal        DECIMAL(23,10) NULL,                 --未转卡片金额
   FChecker            NVARCHAR(255) NULL,
   FCheckDate          DATETIME NULL,
   FBiller             NVARCHAR(255) NOT NULL DEFAULT(''),  --制单人
   FRptID              INT NOT NULL DEFAULT(0),
   FRptName            NVARCHAR(50) NOT NULL DEFAULT(''),
   FSumSort            SMALLINT NOT NULL DEFAULT(0),
   FQtyDecimal         INT NOT NULL DEFAULT(0),             --数量精度
   FPriceDecimal       INT NOT NULL DEFAULT(0)              --单价精度
   ) ON [PRIMARY]
--数据来源：
--单据包括:资产领用单
  INSERT INTO #AA_Rpt2010006 
   ( FDate,FMultiCheckStatus,FSource,FBillNo,FProjectID,FProjectNumber,FItemID,FItemNumber,FItemName,FItemModel,FBaseUnit,
     FUnit,FAuxUnit,FSecCoefficient,FAuxQty,FSupplyID,FSupplyNumber,FSupplyName,
     FUseDeptID,FUseDeptNumber,FUseDeptName,FAppUserID,FAppUserNumber,FAppUserName,
     FBatchNo, FWarehouse, FBin,FCheckQty,FPrice,FAmount,FTaxAmt,FUseFor,FRelationCardQty,
     FNoDoCardQty,FRelationCardBal,FCardDiffBal,FChecker,FCheckDate,FBiller,FRptID,FRptName,FSumSort,FQtyDecimal,FPriceDecimal
    )
  --资产领用单---
  SELECT ca.FDate as FDate,Case When ca.FMultiCheckStatus = 16 Then '是' Else '否' End as FMultiCheckStatus,
       Case When ca.FSourceID = 1 Then '仓库' Else '资产采购' End as FSource,
       IsNull(ca.FBillNo,'') as FBillNo,IsNull(ca.FProjectID,0) as FProjectID,IsNull(tbj.FNumber,'') as FProjectNumber,IsNull(ce.FItemID,0) as FItemID,IsNull(tc.FNumber,'') as FItemNumber,IsNull(tc.FName,'') as FItemName,IsNull(tc.FModel,'') as FItemModel,IsNull(tm.FName,'') as FBaseUnit,
       IsNull(tm2.FName,'') as FUnit,IsNull(tm3.FName,'') as FAuxUnit,ce.FSecCoefficient AS FSecCoefficient,ce.FAuxQty as FAuxQty,
       IsNull(ce.FSupplyID,0) as FSupplyID,IsNull(ts.FNumber,'') as FSupplyNumber,IsNull(ts.FName,'') as FSupplyName,
       IsNull(ca.FApplyDeptID,0) as FUseDeptID,IsNull(td.FNumber,'') as FUseDeptNumber,IsNull(td.FName,'') as FUseDeptName, 
       IsNull(ca.FApplyID,0) as FAppUserID,IsNull(te.FNumber,'') as FAppUserNumber,IsNull(te.FName,'') as FAppUserName,IsNull(ce.FBatchNo,'') as FBatchNo,
       IsNull(tk.FName,'')as FWarehouse,IsNull(tkp.FName,'') as FBin,IsNull(ce.FCheckQty,0) as FCheckQty,IsNull(ce.FPrice,0) as FPrice,IsNull(ce.FAmount,0) as FAmount,IsNull(ce.FTaxAmt,0) as FTaxAmt,
       Case When ca.FPurposeID = 1 then '在建工程'
            When ca.FPurposeID = 2 then '转固定资产'
            When ca.FPurposeID = 3 then '转低值易耗品'  Else '' End as FUseFor,
       Case When ca.FPurposeID = 1 then  IsNull(ce.FCIPQty,0) 
            When ca.FPurposeID = 2 then  IsNull(ce.FFAQty,0)
            When ca.FPurposeID = 3 then  IsNull(ce.FLVCQty,0)  End as FRelationCardQty,
       Case When ca.FPurposeID = 1 then  0 
            When ca.FPurposeID = 2 then  (IsNull(ce.FCheckQty,0) - IsNull(ce.FFAQty,0))
            When ca.FPurposeID = 3 then  (IsNull(ce.FCheckQty,0) - IsNull(ce.FLVCQty,0))  End as FNoDoCardQty,
       Case When ca.FPurposeID = 1 then  (IsNull(ce.FCIPAmount,0) + IsNull(ce.FCIPTaxAmt,0)) 
            When ca.FPurposeID = 2 then  (IsNull(ce.FFAAmount,0) + IsNull(ce.FFATaxAmt,0)) 
            When ca.FPurposeID = 3 then  (IsNull(ce.FLVCAmount,0) + IsNull(ce.FLVCTaxAmt,0)) End as FRelationCardBal,
       Case When ca.FPurposeID = 1 then  0 
            When ca.FPurposeID = 2 then  (IsNull(ce.FAmount,0) + IsNull(ce.FTaxAmt,0) - IsNull(ce.FFAAmount ,0) - IsNull(ce.FFATaxAmt,0))
            When ca.FPurposeID = 3 then  (IsNull(ce.FAmount,0) + IsNull(ce.FTaxAmt,0) - IsNull(ce.FLVCAmount,0) - IsNull(ce.FLVCTaxAmt,0))  End as FCardDiffBal,
       Case When ca.FCheckerID > 0 Then tu.FName Else '' End as FChecher,ca.FCheckDate,IsNull(tu2.FName,''),
       2010006 as FRptID,'ZCLY' as FRptName,0 as FSumSort,IsNull(tc.FQtyDecimal,2),IsNull(tc.FPriceDecimal,2) as FPriceDecimal
       FROM CIP_AssetsApplication ca
       Inner Join CIP_AssetsApplicationEntry ce On ca.FID = ce.FID
       Left Join t_Base_ProjectItem tbj On ca.FProjectID = tbj.FItemID
       Left Join t_Department td On ca.FApplyDeptID = td.FItemID
       Left Join t_Emp te On ca.FApplyID = te.FItemID
       Left Join t_ICItem tc On ce.FItemID = tc.FItemID
       Left Join t_MeasureUnit tm On tc.FUnitID = tm.FMeasureUnitID
       Left Join t_MeasureUnit tm2 On ce.FUnitID = tm2.FMeasureUnitID
       Left Join t_MeasureUnit tm3 On tc.FSecUnitID = tm3.FMeasureUnitID
       Left Join t_Stock tk On ce.FStockID = tk.FItemID
       Left Join t_StockPlace tkp On ce.FDcspID = tkp.FSPID
       Left Join t_Supplier ts On ce.FSupplyID = ts.FItemID
       Left Join t_User tu On ca.FCheckerID = tu.FUserID
       Left Join t_User tu2 On ca.FBiller = tu2.FUserID
       WHERE 1=1 

