SET NOCOUNT ON
--数据来源：
--资产申请单：   AA_AssetsApp、AA_AssetsAppEntry
--资产领用单： CIP_AssetsApplication、CIP_AssetsApplicationEntry

--创建临时表：

IF OBJECT_ID('tempdb..#AA_Rpt2010007')<>0 DROP TABLE #AA_Rpt2010007

CREATE TABLE #AA_Rpt2010007(
   FDate                       DATETIME            NULL,
   FMultiCheckStatus           NVARCHAR(255)       NOT NULL DEFAULT('2'),
   FCloseStatus                NVARCHAR(255)       NOT NULL DEFAULT(''),
   FItemID                     INT                 NOT NULL DEFAULT(0),--物料
   FItemNumber                 NVARCHAR(255)       NOT NULL DEFAULT(''),
   FItemName                   NVARCHAR(255)       NOT NULL DEFAULT(''),
   FItemModel                  NVARCHAR(255)       NOT NULL DEFAULT(''),
   FBaseUnit                   NVARCHAR(255)       NOT NULL DEFAULT(''),
   FUnit                       NVARCHAR(255)       NOT NULL DEFAULT(''),
   FAuxUnit                    NVARCHAR(255)       NOT NULL DEFAULT(''),
   FSecCoefficient             DECIMAL(23,10)      NOT NULL DEFAULT(0),
   FAuxQty                     DECIMAL(23,10)      NOT NULL DEFAULT(0),
   FSupplyID                   INT                 NOT NULL DEFAULT(0),--供应商
   FSupplyNumber               NVARCHAR(255)       NOT NULL DEFAULT(''),
   FSupplyName                 NVARCHAR(255)       NOT NULL DEFAULT(''),
   FUseDeptID                  INT                 NOT NULL DEFAULT(0),--使用部门
   FUseDeptNumber              NVARCHAR(255)       NOT NULL DEFAULT(''),
   FUseDeptName                NVARCHAR(255)       NOT NULL DEFAULT(''),
   FAppUserID                  INT                 NOT NULL DEFAULT(0),--申请人
   FAppUserNumber              NVARCHAR(255)       NOT NULL DEFAULT(''),
   FAppUserName                NVARCHAR(255)       NOT NULL DEFAULT(''),
   FAppDeptID                  INT                 NOT NULL DEFAULT(0),--申请部门
   FAppDeptNumber              NVARCHAR(255)       NOT NULL DEFAULT(''),
   FAppDeptName                NVARCHAR(255)       NOT NULL DEFAULT(''),
   FApplicationSRC             NVARCHAR(255)       NOT NULL DEFAULT(''),
   FAssetAppQty                DECIMAL(23,10)      NOT NULL DEFAULT(0),
   FRelationApplicationQty     DECIMAL(23,10)      NOT NULL DEFAULT(0),
   FApplicationFAQty           DECIMAL(23,10)      NOT NULL DEFAULT(0),
   FApplicationFABal           DECIMAL(23,10)      NOT NULL DEFAULT(0),
   FRelationCIPQty             DECIMAL(23,10)      NOT NULL DEFAULT(0),
   FRelationCIPBal             DECIMAL(23,10)      NOT NULL DEFAULT(0),
   FApplicationLVCQty          DECIMAL(23,10)      NOT NULL DEFAULT(0),
   FApplicationLVCBal          DECIMAL(23,10)      NOT NULL DEFAULT(0),
   FUnDoQty                    DECIMAL(23,10)      NOT NULL DEFAULT(0),
   FPlanStockQty               DECIMAL(23,10)      NOT NULL DEFAULT(0),
   FPlanUseQty                 DECIMAL(23,10)      NOT NULL DEFAULT(0),
   FRelationStockQty           DECIMAL(23,10)      NOT NULL DEFAULT(0),
   FChecker                    NVARCHAR(255)       NOT NULL DEFAULT(''),
   FCheckDate                  DATETIME            NULL,
   FNote                       NVARCHAR(255)       NOT NULL DEFAULT(''),
   FBiller                     NVARCHAR(255)       NOT NULL DEFAULT(''),
   FRptID                      INT                 NOT NULL DEFAULT(0),--报表ID
   FRptName                    NVARCHAR(50)        NOT NULL DEFAULT(''),
   FSumSort                    SMALLINT            NOT NULL DEFAULT(0),
   FQtyDecimal                 INT                 NOT NULL DEFAULT(0),  --数量精度
   FPriceDecimal               INT                 NOT NULL DEFAULT(0)--单价精度
   ) ON [PRIMARY]
--数据来源：
--单据包括：资产申请单，资产领用单
--资产申请单：   AA_AssetsApp、AA_AssetsAppEntry
  INSERT INTO #AA_Rpt2010007 
   ( FDate,FMultiCheckStatus,FCloseStatus,FItemID,FItemNumber,FItemName,FItemModel,FBaseUnit,
     FUnit,FAuxUnit,FSecCoefficient,FAuxQty,FSupplyID,FSupplyNumber,FSupplyName,
     FUseDeptID,FUseDeptNumber,FUseDeptName,FAppUserID,FAppUserNumber,FAppUserName,
     FAppDeptID, FAppDeptNumber, FAppDeptName,
 FApplicationSRC,FAssetAppQty,FRelationApplicationQty,FApplicationFAQty,FApplicationFABal,FRelationCIPQty,FRelationCIPBal,FApplicationLVCQty,FApplicationLVCBal,
    FUnDoQty,FPlanStockQty,FPlanUseQty,FRelationStockQty,FChecker,FCheckDate,FNote,FBiller,FRptID,FRptName,FSumSort,FQtyDecimal,FPriceDecimal
    )
  SELECT aa.FAppDate as FDate,Case When aa.FMultiCheckStatus = 16 Then '是' Else '否' End as FMultiCheckStatus,
     Case When aa.FCloseStatus = 1 Then '是' Else '否' End as FCloseStatus,
     IsNull(ae.FItemID,0),IsNull(tc.FNumber,'') as FItemNumber,IsNull(tc.FName,'') as FItemName,IsNull(tc.FModel,'') as FItemModel,
     IsNull(tm.FName,'') as FBaseUnit,IsNull(tm2.FName,'') as FUnit, IsNull(tm3.FName,'') as FAuxUnit, IsNull(ae.FSecCoefficient,0) AS FSecCoefficient,
     IsNull(ae.FAssistantQty,0) as FAuxQty,IsNull(ae.FSupplyID,0),IsNull(ts.FNumber,'') as FSupplyNumber,IsNull(ts.FName,'') as FSupplyName ,
     IsNull(aa.FUseDeptID,0), IsNull(td2.FNumber,'') as FUseDeptNumber,IsNull(td2.FName,'') as FUseDeptName,
     IsNull(aa.FAppUserID,0),IsNull(te.FNumber,''),IsNull(te.FName,'') as FAppUserName,
     IsNull(aa.FAppDeptID,0), IsNull(td.FNumber,'') as FAppDeptNumber,IsNull(td.FName,'') as FAppDeptName,
 '' as FApplicationSRC,IsNull(ae.FCheckQty,0) as FAssetAppQty,Sum(IsNull(cip.FCheckQty,0)) as FRelationApplicationQty,
 Sum(IsNull(ae.FRelationFAQty,0)) as FApplicationFAQty,Sum(IsNull(cip.FFAAmount,0) + IsNull(cip.FFATaxAmt,0)) as FApplicationFABal,
 Sum(IsNull(cip.FCIPQty,0)) as FRelationCIPQty,Sum(IsNull(cip.FCIPAmount,0) + IsNull(cip.FCIPTaxAmt,0)) as FRelationCIPBal,
 Sum(IsNull(ae.FRelationLVCQty,0)) as FApplicationLVCQty,Sum(IsNull(cip.FLVCAmount,0) + IsNull(cip.FLVCTaxAmt,0)) as FApplicationLVCBal,
  IsNull(ae.FNoDoQty,0) as FUnDoQty,IsNull(ae.FPlanStockQty,0) as FPlanStockQty,IsNull(ae.FPlanUseQty,0) as FPlanUseQty,IsNull(ae.FRelationStockQty,0) as FRelationStockQty,
  Case When aa.FCheckerID > 0 Then IsNull(tu.FName,'') Else '' End as FChecker, 
  aa.FCheckDate,IsNull(aa.FNote,''),IsNull(tu2.FName,''),2010007 as FRptID,'ZCSQ' as FRptName,0 as FSumSort,IsNull(tc.FQtyDecimal,2) as FQtyDecimal,IsNull(tc.FPriceDecimal,2) as FPriceDecimal
  From AA_AssetsApp aa 
  Inner Join AA_AssetsAppEntry ae On aa.FID = ae.FID
  ------------连接领用单的最终源头为资产申请单的记录Begin-------------
  Left Join (
  Select srcaa.FBillNo,srcaa.FID,srcaa.FEntryID,Sum(IsNull(srcaa.FFAAmount,0)) as FFAAmount,Sum(IsNull(srcaa.FFATaxAmt,0)) as FFATaxAmt,Sum(IsNull(srcaa.FCIPQty,0)) as FCIPQty ,Sum(IsNull(srcaa.FCIPAmount,0)) as FCIPAmount ,
  Sum(IsNull(srcaa.FCIPTaxAmt,0)) as FCIPTaxAmt ,Sum(IsNull(srcaa.FLVCAmount,0)) as FLVCAmount,Sum(IsNull(srcaa.FLVCTaxAmt,0)) as FLVCTaxAmt,Sum(IsNull(srcaa.FCheckQty,0)) as FCheckQty From 
  (       -----------资产申请单(1200001,AA_AssetsApp)-->资产领用单)--------------
       Select AA_AssetsApp.FBillNo,AA_AssetsApp.FID,AA_AssetsApp.FEntryID,ce.FFAAmount,ce.FFATaxAmt,ce.FCIPQty,ce.FCIPAmount,ce.FCIPTaxAmt,ce.FLVCAmount,ce.FLVCTaxAmt,IsNull(ce.FCheckQty,0) as FCheckQty 
           From ( Select aa.FBillNo,ae.FID,ae.FEntryID From AA_AssetsApp aa Inner Join AA_AssetsAppEntry ae On aa.FID = ae.FID 
  Left Join t_Department td On aa.FAppDeptID = td.FItemID
  Left Join t_Department td2 On aa.FUseDeptID = td2.FItemID
  Left Join t_Emp te On aa.FAppUserID = te.FItemID
  Left Join t_ICItem tc On ae.FItemID = tc.FItemID
  Left Join t_MeasureUnit tm On tc.FUnitID = tm.FMeasureUnitID
  Left Join t_MeasureUnit tm2 On ae.FUnitID = tm2.FMeasureUnitID
  Left Join t_MeasureUnit tm3 On tc.FSecUnitID = tm3.FMeasureUnitID
  Left Join t_Supplier ts On ae.FSupplyID = ts.FItemID
  Left Join t_User tu On aa.FCheckerID = tu.FUserID
  Left Join t_User tu2 On aa.FBiller = tu2.FUserID
   WHERE   1=1 
 AND ( aa.FAppDate>='2024-01-01' AND aa.FAppDate<='2024-03-31' ) AND tc.FNumber >='01' AND tc.FNumber <='02.9' AND td.FNumber>='01' AND td.FNumber<='02' AND td2.FNumber>='01' AND td2.FNumber<='02' AND ts.FNumber>='00' AND ts.FNumber<='O''Neil' AND te.FNumber>='01' AND te.FNumber<='02' AND (aa.FMultiCheckStatus = 16 ) AND aa.FCloseStatus = 0) AA_AssetsApp 
           Inner Join CIP_AssetsApplicationEntry ce On ce.FID_SRC = AA_AssetsApp.FID And ce.FEntryID_SRC=AA_AssetsApp.FEntryID And ce.FClassID_SRC=1200001 And ce.FBillNo_SRC = AA_AssetsApp.FBillNo 
           Inner Join CIP_AssetsApplication ca On ce.FID = ca.FID
       Union All
       -----------资产申请单-->资产采购订单(1200002,AA_AssetsProcurement)-->资产验收单(1200004,AA_AssetsAcceptance)-->资产领用单-------------
       Select AA_AssetsApp.FBillNo,AA_AssetsApp.FID,AA_AssetsApp.FEntryID,ce.FFAAmount,ce.FFATaxAmt,ce.FCIPQty,ce.FCIPAmount,ce.FCIPTaxAmt,ce.FLVCAmount,ce.FLVCTaxAmt,IsNull(ce.FCheckQty,0) as FCheckQty 
           From ( Select aa.FBillNo,ae.FID,ae.FEntryID From AA_AssetsApp aa Inner Join AA_AssetsAppEntry ae On aa.FID = ae.FID
  Left Join t_Department td On aa.FAppDeptID = td.FItemID
  Left Join t_Department td2 On aa.FUseDeptID = td2.FItemID
  Left Join t_Emp te On aa.FAppUserID = te.FItemID
  Left Join t_ICItem tc On ae.FItemID = tc.FItemID
  Left Join t_MeasureUnit tm On tc.FUnitID = tm.FMeasureUnitID
  Left Join t_MeasureUnit tm2 On ae.FUnitID = tm2.FMeasureUnitID
  Left Join t_MeasureUnit tm3 On tc.FSecUnitID = tm3.FMeasureUnitID
  Left Join t_Supplier ts On ae.FSupplyID = ts.FItemID
  Left Join t_User tu On aa.FCheckerID = tu.FUserID
  Left Join t_User tu2 On aa.FBiller = tu2.FUserID
   WHERE   1=1 
 AND ( aa.FAppDate>='2024-01-01' AND aa.FAppDate<='2024-03-31' ) AND tc.FNumber >='01' AND tc.FNumber <='02.9' AND td.FNumber>='01' AND td.FNumber<='02' AND td2.FNumber>='01' AND td2.FNumber<='02' AND ts.FNumber>='00' AND ts.FNumber<='O''Neil' AND te.FNumber>='01' AND te.FNumber<='02' AND (aa.FMultiCheckStatus = 16 ) AND aa.FCloseStatus = 0) AA_AssetsApp 
           Inner Join AA_AssetsProcurementEntry aape On aape.FID_SRC = AA_AssetsApp.FID And aape.FEntryID_SRC=AA_AssetsApp.FEntryID And aape.FClassID_SRC=1200001 And aape.FBillNo_SRC = AA_AssetsApp.FBillNo 
           Inner Join AA_AssetsAcceptanceEntry aace On aace.FID_SRC = aape.FID And aace.FEntryID_SRC=aape.FEntryID And aace.FClassID_SRC=1200002  
           Inner Join CIP_AssetsApplicationEntry ce On ce.FID_SRC = aace.FID And ce.FEntryID_SRC=aace.FEntryID And ce.FClassID_SRC=1200004 
           Inner Join CIP_AssetsApplication ca On ce.FID = ca.FID
       Union All
       -----------资产申请单-->资产采购订单-->资产检验单(1200003,AA_AssetsInspec)-->资产验收单-->资产领用单--------------
       Select AA_AssetsApp.FBillNo,AA_AssetsApp.FID,AA_AssetsApp.FEntryID,ce.FFAAmount,ce.FFATaxAmt,ce.FCIPQty,ce.FCIPAmount,ce.FCIPTaxAmt,ce.FLVCAmount,ce.FLVCTaxAmt,IsNull(ce.FCheckQty,0) as FCheckQty  
           From ( Select aa.FBillNo,ae.FID,ae.FEntryID From AA_AssetsApp aa Inner Join AA_AssetsAppEntry ae On aa.FID = ae.FID
  Left Join t_Department td On aa.FAppDeptID = td.FItemID
  Left Join t_Department td2 On aa.FUseDeptID = td2.FItemID
  Left Join t_Emp te On aa.FAppUserID = te.FItemID
  Left Join t_ICItem tc On ae.FItemID = tc.FItemID
  Left Join t_MeasureUnit tm On tc.FUnitID = tm.FMeasureUnitID
  Left Join t_MeasureUnit tm2 On ae.FUnitID = tm2.FMeasureUnitID
  Left Join t_MeasureUnit tm3 On tc.FSecUnitID = tm3.FMeasureUnitID
  Left Join t_Supplier ts On ae.FSupplyID = ts.FItemID
  Left Join t_User tu On aa.FCheckerID = tu.FUserID
  Left Join t_User tu2 On aa.FBiller = tu2.FUserID
   WHERE   1=1 
 AND ( aa.FAppDate>='2024-01-01' AND aa.FAppDate<='2024-03-31' ) AND tc.FNumber >='01' AND tc.FNumber <='02.9' AND td.FNumber>='01' AND td.FNumber<='02' AND td2.FNumber>='01' AND td2.FNumber<='02' AND ts.FNumber>='00' AND ts.FNumber<='O''Neil' AND te.FNumber>='01' AND te.FNumber<='02' AND (aa.FMultiCheckStatus = 16 ) AND aa.FCloseStatus = 0) AA_AssetsApp 
           Inner Join AA_AssetsProcurementEntry aape On aape.FID_SRC = AA_AssetsApp.FID And aape.FEntryID_SRC=AA_AssetsApp.FEntryID And aape.FClassID_SRC=1200001 And aape.FBillNo_SRC = AA_AssetsApp.FBillNo 
           Inner Join AA_AssetsInspecEntry aaie On aaie.FID_SRC = aape.FID And aaie.FEntryID_SRC=aape.FEntryID And aaie.FClassID_SRC=1200002
           Inner Join AA_AssetsAcceptanceEntry aace On aace.FID_SRC = aaie.FID And aace.FEntryID_SRC=aaie.FEntryID And aace.FClassID_SRC=1200003 
           Inner Join CIP_AssetsApplicationEntry ce On ce.FID_SRC = aace.FID And ce.FEntryID_SRC=aace.FEntryID And ce.FClassID_SRC=1200004
           Inner Join CIP_AssetsApplication ca On ce.FID = ca.FID
       ) srcaa Group By FBillNo,FID,FEntryID 
 ) cip On cip.FBillNo = aa.FBillNo And cip.FID = ae.FID And cip.FEntryID = ae.FEntryID And cip.FEntryID Is Not Null 
   ------------连接领用单的最终源头为资产申请单的记录End--------------
  Left Join t_Department td On aa.FAppDeptID = td.FItemID
  Left Join t_Department td2 On aa.FUseDeptID = td2.FItemID
  Left Join t_Emp te On aa.FAppUserID = te.FItemID
  Left Join t_ICItem tc On ae.FItemID = tc.FItemID
  Left Join t_MeasureUnit tm On tc.FUnitID = tm.FMeasureUnitID
  Left Join t_MeasureUnit tm2 On ae.FUnitID = tm2.FMeasureUnitID
  Left Join t_MeasureUnit tm3 On tc.FSecUnitID = tm3.FMeasureUnitID
  Left Join t_Supplier ts On ae.FSupplyID = ts.FItemID
  Left Join t_User tu On aa.FCheckerID = tu.FUserID
  Left Join t_User tu2 On aa.FBiller = tu2.FUserID
   WHERE   1=1 
 AND ( aa.FAppDate>='2024-01-01' AND aa.FAppDate<='2024-03-31' ) AND tc.FNumber >='01' AND tc.FNumber <='02.9' AND td.FNumber>='01' AND td.FNumber<='02' AND td2.FNumber>='01' AND td2.FNumber<='02' AND ts.FNumber>='00' AND ts.FNumber<='O''Neil' AND te.FNumber>='01' AND te.FNumber<='02' AND (aa.FMultiCheckStatus = 16 ) AND aa.FCloseStatus = 0
  Group By aa.FBillNo,aa.FAppDate,aa.FID,ae.FEntryID,aa.FMultiCheckStatus,aa.FCloseStatus, 
  ae.FItemID,tc.FNumber,tc.FName,tc.FModel,tm.FName,tm2.FName,tm3.FName,ae.FSecCoefficient,ae.FAssistantQty, 
  ae.FSupplyID,ts.FNumber,ts.FName,aa.FUseDeptID,td2.FNumber,td2.FName,aa.FAppUserID,te.FNumber,te.FName,
  aa.FAppDeptID , td.FNumber, td.FName,ae.FAppQty,ae.FCheckQty,
  ae.FNoDoQty,ae.FPlanStockQty,ae.FPlanUseQty,ae.FRelationStockQty, 
  aa.FCheckerID , tu.FName, aa.FCheckDate, aa.FNote, tu2.FName, tc.FQtyDecimal, tc.FPriceDecimal 
  Union All
  --资产领用单---
  SELECT ca.FDate as FDate,Case When ca.FMultiCheckStatus = 16 Then '是' Else '否' End as FMultiCheckStatus,
  '' as FCloseStatus,IsNull(ce.FItemID,0),IsNull(tc.FNumber,'') as FItemNumber,IsNull(tc.FName,'') as FItemName,IsNull(tc.FModel,'') as FItemModel,IsNull(tm.FName,'') as FBaseUnit,
  IsNull(tm2.FName,'') as FUnit,IsNull(tm3.FName,'') as FAuxUnit,IsNull(ce.FSecCoefficient,0) AS FSecCoefficient,IsNull(ce.FAuxQty,0) as FAuxQty,
  IsNull(ce.FSupplyID,0) as FSupplyID,IsNull(ts.FNumber,'') as FSupplyNumber,IsNull(ts.FName,'') as FSupplyName,
  IsNull(ca.FApplyDeptID,0) as FUseDeptID,IsNull(td.FNumber,'') as FUseDeptNumber,IsNull(td.FName,'') as FUseDeptName, 
  IsNull(ca.FApplyID,0) as FAppUserID,IsNull(te.FNumber,'') as FAppUserNumber,IsNull(te.FName,'') as FAppUserName,
  0 as FAppUseDeptID,'' as FAppDeptNumber,'' as FAppDeptName,
  Case When ca.FSourceID = 1 Then '仓库' Else '资产采购' End   as FApplicationSRC,
  0 as FAssetAppQty,IsNull(ce.FCheckQty,0) as FRelationApplicationQty,IsNull(ce.FFAQty,0) as FApplicationFAQty, IsNull(ce.FFAAmount,0) as FApplicationFABal,
  IsNull(ce.FCIPQty,0) as FRelationCIPQty, IsNull(ce.FCIPAmount,0) as FRelationCIPBal,
  IsNull(ce.FLVCQty,0) as FApplicationLVCQty, IsNull(ce.FLVCAmount,0) as FApplicationLVCBal,0 as FUnDoQty,
  0 as FPlanStockQty,0 as FPlanUseQty,0 as FRelationStockQty,Case When ca.FCheckerID > 0 Then IsNull(tu.FName,'') Else '' End as FChecher,ca.FCheckDate,IsNull(ca.FNote,''),IsNull(tu2.FName,''),
  2010007 as FRptID,'ZCSQ' as FRptName,0 as FSumSort,IsNull(tc.FQtyDecimal,2) as FQtyDecimal,IsNull(tc.FPriceDecimal,2) as FPriceDecimal
  FROM CIP_AssetsApplication ca
  Inner Join CIP_AssetsApplicationEntry ce On ca.FID = ce.FID
  ------------去掉领用单的最终源头为资产申请单的记录Begin-------------
  Left Join (
  Select srcaa.FAppBillNo,srcaa.FAppFID,srcaa.FAppEntryID,srcaa.FBillNo,srcaa.FID,srcaa.FEntryID From 
  (       -----------资产申请单(1200001,AA_AssetsApp)-->资产领用单)--------------
       Select aaa.FBillNo as FAppBillNo,aaa.FID as FAppFID,aae.FEntryID as FAppEntryID,CIPApplication.FBillNo,CIPApplication.FID,CIPApplication.FEntryID 
           From ( Select ca.FBillNo,ca.FID,ce.FEntryID,ce.FID_SRC,ce.FEntryID_SRC,ce.FClassID_SRC From CIP_AssetsApplication ca Inner Join CIP_AssetsApplicationEntry ce On ce.FID = ca.FID
  Left Join t_Department td On ca.FApplyDeptID = td.FItemID
  Left Join t_Emp te On ca.FApplyID = te.FItemID
  Left Join t_ICItem tc On ce.FItemID = tc.FItemID
  Left Join t_MeasureUnit tm On tc.FUnitID = tm.FMeasureUnitID
  Left Join t_MeasureUnit tm2 On ce.FUnitID = tm2.FMeasureUnitID
  Left Join t_MeasureUnit tm3 On tc.FSecUnitID = tm3.FMeasureUnitID
  Left Join t_Supplier ts On ce.FSupplyID = ts.FItemID
  Left Join t_User tu On ca.FCheckerID = tu.FUserID
  Left Join t_User tu2 On ca.FBiller = tu2.FUserID
  WHERE 1=1 
 AND ( ca.FDate>='2024-01-01' AND ca.FDate<='2024-03-31' ) AND tc.FNumber >='01' AND tc.FNumber <='02.9' AND td.FNumber >='01' AND td.FNumber <='02' AND ts.FNumber >='00' AND ts.FNumber <='O''Neil' AND te.FNumber >='01' AND te.FNumber <='02' AND (ca.FMultiCheckStatus = 16 )) CIPApplication 
           Inner Join AA_AssetsAppEntry aae On CIPApplication.FID_SRC = aae.FID And CIPApplication.FEntryID_SRC=aae.FEntryID And CIPApplication.FClassID_SRC=1200001  
           Inner Join AA_AssetsApp aaa On aaa.FID = aae.FID       Union All
       -----------资产申请单-->资产采购订单(1200002,AA_AssetsProcurement)-->资产验收单(1200004,AA_AssetsAcceptance)-->资产领用单-------------
       Select aaa.FBillNo as FAppBillNo,aaa.FID as FAppFID,aae.FEntryID as FAppEntryID,CIPApplication.FBillNo,CIPApplication.FID,CIPApplication.FEntryID 
           From ( Select ca.FBillNo,ca.FID,ce.FEntryID,ce.FID_SRC,ce.FEntryID_SRC,ce.FClassID_SRC  From CIP_AssetsApplication ca Inner Join CIP_AssetsApplicationEntry ce On ce.FID = ca.FID
  Left Join t_Department td On ca.FApplyDeptID = td.FItemID
  Left Join t_Emp te On ca.FApplyID = te.FItemID
  Left Join t_ICItem tc On ce.FItemID = tc.FItemID
  Left Join t_MeasureUnit tm On tc.FUnitID = tm.FMeasureUnitID
  Left Join t_MeasureUnit tm2 On ce.FUnitID = tm2.FMeasureUnitID
  Left Join t_MeasureUnit tm3 On tc.FSecUnitID = tm3.FMeasureUnitID
  Left Join t_Supplier ts On ce.FSupplyID = ts.FItemID
  Left Join t_User tu On ca.FCheckerID = tu.FUserID
  Left Join t_User tu2 On ca.FBiller = tu2.FUserID
  WHERE 1=1 
 AND ( ca.FDate>='2024-01-01' AND ca.FDate<='2024-03-31' ) AND tc.FNumber >='01' AND tc.FNumber <='02.9' AND td.FNumber >='01' AND td.FNumber <='02' AND ts.FNumber >='00' AND ts.FNumber <='O''Neil' AND te.FNumber >='01' AND te.FNumber <='02' AND (ca.FMultiCheckStatus = 16 )) CIPApplication 
           Inner Join AA_AssetsAcceptanceEntry aace On CIPApplication.FID_SRC = aace.FID And CIPApplication.FEntryID_SRC=aace.FEntryID And CIPApplication.FClassID_SRC=1200004
           Inner Join AA_AssetsProcurementEntry aape On aace.FID_SRC = aape.FID And aace.FEntryID_SRC=aape.FEntryID And aace.FClassID_SRC=1200002 
           Inner Join AA_AssetsAppEntry aae On aape.FID_SRC = aae.FID And aape.FEntryID_SRC=aae.FEntryID And aape.FClassID_SRC=1200001
           Inner Join AA_AssetsApp aaa  On aaa.FID = aae.FID
       Union All
       -----------资产申请单-->资产采购订单-->资产检验单(1200003,AA_AssetsInspec)-->资产验收单-->资产领用单--------------
       Select aaa.FBillNo as FAppBillNo,aaa.FID as FAppFID,aae.FEntryID as FAppEntryID,CIPApplication.FBillNo,CIPApplication.FID,CIPApplication.FEntryID 
           From ( Select ca.FBillNo,ca.FID,ce.FEntryID,ce.FID_SRC,ce.FEntryID_SRC,ce.FClassID_SRC  From CIP_AssetsApplication ca Inner Join CIP_AssetsApplicationEntry ce On ce.FID = ca.FID
  Left Join t_Department td On ca.FApplyDeptID = td.FItemID
  Left Join t_Emp te On ca.FApplyID = te.FItemID
  Left Join t_ICItem tc On ce.FItemID = tc.FItemID
  Left Join t_MeasureUnit tm On tc.FUnitID = tm.FMeasureUnitID
  Left Join t_MeasureUnit tm2 On ce.FUnitID = tm2.FMeasureUnitID
  Left Join t_MeasureUnit tm3 On tc.FSecUnitID = tm3.FMeasureUnitID
  Left Join t_Supplier ts On ce.FSupplyID = ts.FItemID
  Left Join t_User tu On ca.FCheckerID = tu.FUserID
  Left Join t_User tu2 On ca.FBiller = tu2.FUserID
  WHERE 1=1 
 AND ( ca.FDate>='2024-01-01' AND ca.FDate<='2024-03-31' ) AND tc.FNumber >='01' AND tc.FNumber <='02.9' AND td.FNumber >='01' AND td.FNumber <='02' AND ts.FNumber >='00' AND ts.FNumber <='O''Neil' AND te.FNumber >='01' AND te.FNumber <='02' AND (ca.FMultiCheckStatus = 16 )) CIPApplication 
           Inner Join AA_AssetsAcceptanceEntry aace On CIPApplication.FID_SRC = aace.FID And CIPApplication.FEntryID_SRC=aace.FEntryID And CIPApplication.FClassID_SRC=1200004 
           Inner Join AA_AssetsInspecEntry aaie On aace.FID_SRC = aaie.FID And aace.FEntryID_SRC=aaie.FEntryID And aace.FClassID_SRC=1200003
           Inner Join AA_AssetsProcurementEntry aape On aaie.FID_SRC = aape.FID And aaie.FEntryID_SRC=aape.FEntryID And aaie.FClassID_SRC=1200002
           Inner Join AA_AssetsAppEntry aae On aape.FID_SRC = aae.FID And aape.FEntryID_SRC=aae.FEntryID And aape.FClassID_SRC=1200001
           Inner Join AA_AssetsApp aaa  On aaa.FID = aae.FID
       ) srcaa
 ) delAA  On ca.FBillNo = delAA.FBillNo And ce.FID = delAA.FID  
   ------------去掉领用单的最终源头为资产申请单的记录End--------------
  Left Join t_Department td On ca.FApplyDeptID = td.FItemID
  Left Join t_Emp te On ca.FApplyID = te.FItemID
  Left Join t_ICItem tc On ce.FItemID = tc.FItemID
  Left Join t_MeasureUnit tm On tc.FUnitID = tm.FMeasureUnitID
  Left Join t_MeasureUnit tm2 On ce.FUnitID = tm2.FMeasureUnitID
  Left Join t_MeasureUnit tm3 On tc.FSecUnitID = tm3.FMeasureUnitID
  Left Join t_Supplier ts On ce.FSupplyID = ts.FItemID
  Left Join t_User tu On ca.FCheckerID = tu.FUserID
  Left Join t_User tu2 On ca.FBiller = tu2.FUserID
  WHERE 1=1 
 AND ( ca.FDate>='2024-01-01' AND ca.FDate<='2024-03-31' ) AND tc.FNumber >='01' AND tc.FNumber <='02.9' AND td.FNumber >='01' AND td.FNumber <='02' AND ts.FNumber >='00' AND ts.FNumber <='O''Neil' AND te.FNumber >='01' AND te.FNumber <='02' AND (ca.FMultiCheckStatus = 16 )
  AND delAA.FAppBillNo  Is Null
