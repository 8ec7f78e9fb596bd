
IF OBJECT_ID('tempdb..#TmpResult')<>0 DROP TABLE #TmpResult 
Select T1.FSupplyID,T1.FAppUserID,T1.FRptID,
Sum(IsNull(T1.FAssetAppQty,0)) as FAssetAppQty,
Sum(IsNull(T1.FAuxQty,0)) as FAuxQty,Sum(IsNull(T1.FRelationApplicationQty,0)) as FRelationApplicationQty,
Sum(IsNull(T1.FApplicationFAQty,0)) as FApplicationFAQty,Sum(IsNull(T1.FApplicationFABal,0)) as FApplicationFABal,
Sum(IsNull(T1.FRelationCIPQty,0)) as FRelationCIPQty,Sum(IsNull(T1.FRelationCIPBal,0)) as FRelationCIPBal,
Sum(IsNull(T1.FApplicationLVCQty,0)) as FApplicationLVCQty,Sum(IsNull(T1. FApplicationLVCBal,0)) as  FApplicationLVCBal,
Sum(IsNull(T1.FUnDoQty,0)) as FUnDoQty,Sum(IsNull(T1.FPlanStockQty,0)) as FPlanStockQty,
Sum(IsNull(T1.FPlanUseQty,0)) as FPlanUseQty,Sum(IsNull(T1.FRelationStockQty,0)) as FRelationStockQty,
Max(FQtyDecimal) as FQtyDecimal,Max(FPriceDecimal) as FPriceDecimal
   ,CASE 
 WHEN Grouping(T1.FSupplyID)=1 THEN 101
 WHEN Grouping(T1.FAppUserID)=1 THEN 102
 WHEN Grouping(T1.FRptID)=1 THEN 103
 ELSE 0 END AS FSumSort

INTO #TmpResult 
From #AA_Rpt2010007 T1 
Group by T1.FSupplyID,T1.FAppUserID,T1.FRptID With RollUp 
GO
----取各内码ID对应Number与名称SQL:Begin--
IF OBJECT_ID('tempdb..#TmpResult2')<>0 DROP TABLE #TmpResult2 
Select t1.FSupplyID,Sup.FNumber AS FSupplyNumber,Sup.FName AS FSupplyName,t1.FAppUserID,Emp.FNumber AS FAppUserNumber,Emp.FName AS FAppUserName,FSumSort,FRptID,
 t1.FAssetAppQty,t1.FAuxQty ,t1.FRelationApplicationQty,
 t1.FApplicationFAQty, t1.FApplicationFABal,t1.FRelationCIPQty, t1.FRelationCIPBal,t1.FApplicationLVCQty ,t1.FApplicationLVCBal,
t1.FUnDoQty,t1.FPlanStockQty,t1.FPlanUseQty ,t1.FRelationStockQty,t1.FQtyDecimal,t1.FPriceDecimal
INTO #TmpResult2
From #TmpResult t1
Left Join t_Supplier Sup ON t1.FSupplyID=Sup.FItemID
Left Join t_Emp Emp ON t1.FAppUserID=Emp.FItemID

----取各内码ID对应Number与名称SQL:End--
GO
Update #TmpResult2 Set FSupplyName=ISNULL(FSupplyName,'')+'(合计)' WHERE FSumSort=101
GO
Update #TmpResult2 Set FSupplyName=ISNULL(FSupplyName,'')+'(小计)' WHERE FSumSort=102
Update #TmpResult2 Set FAppUserName=ISNULL(FAppUserName,'')+'(小计)' WHERE FSumSort=103
GO
Select tmp2.FSupplyID,tmp2.FSupplyNumber,tmp2.FSupplyName,tmp2.FAppUserID,tmp2.FAppUserNumber,tmp2.FAppUserName,
apt.FUseDeptID,apt.FUseDeptNumber,apt.FUseDeptName,apt.FItemID,apt.FItemNumber,apt.FItemName,
apt.FAppDeptID, apt.FAppDeptNumber, apt.FAppDeptName,
     apt.FDate,apt.FMultiCheckStatus,apt.FCloseStatus,apt.FItemModel,apt.FBaseUnit,
     apt.FUnit,apt.FAuxUnit,apt.FSecCoefficient,
     Case When tmp2.FSumSort > 0 Then  tmp2.FAuxQty Else apt.FAuxQty End as FAuxQty, 
     apt.FAppDeptID,apt.FAppDeptNumber,apt.FAppDeptName,
 apt.FApplicationSRC,
 Case When tmp2.FSumSort > 0 Then  tmp2.FAssetAppQty Else apt.FAssetAppQty End as FAssetAppQty,
 Case When tmp2.FSumSort > 0 Then  tmp2.FRelationApplicationQty Else apt.FRelationApplicationQty End as FRelationApplicationQty,
 Case When tmp2.FSumSort > 0 Then  tmp2.FApplicationFAQty Else apt.FApplicationFAQty End as FApplicationFAQty,
 Case When tmp2.FSumSort > 0 Then  tmp2.FApplicationFABal Else apt.FApplicationFABal End as FApplicationFABal,
 Case When tmp2.FSumSort > 0 Then  tmp2.FRelationCIPQty Else apt.FRelationCIPQty End as FRelationCIPQty,
 Case When tmp2.FSumSort > 0 Then  tmp2.FRelationCIPBal Else apt.FRelationCIPBal End as FRelationCIPBal,
 Case When tmp2.FSumSort > 0 Then  tmp2.FApplicationLVCQty Else apt.FApplicationLVCQty End as FApplicationLVCQty,
 Case When tmp2.FSumSort > 0 Then  tmp2.FApplicationLVCBal Else apt.FApplicationLVCBal End as FApplicationLVCBal,
 Case When tmp2.FSumSort > 0 Then  tmp2.FUnDoQty Else apt.FUnDoQty End as FUnDoQty,
 Case When tmp2.FSumSort > 0 Then  tmp2.FPlanStockQty Else apt.FPlanStockQty End as FPlanStockQty,
 Case When tmp2.FSumSort > 0 Then  tmp2.FPlanUseQty Else apt.FPlanUseQty End as FPlanUseQty,
 Case When tmp2.FSumSort > 0 Then  tmp2.FRelationStockQty Else apt.FRelationStockQty End as FRelationStockQty,
 Case When tmp2.FSumSort > 0 Then  tmp2.FQtyDecimal Else apt.FQtyDecimal End as FQtyDecimal,
 Case When tmp2.FSumSort > 0 Then  tmp2.FPriceDecimal Else apt.FPriceDecimal End as FPriceDecimal,
     apt.FChecker,apt.FCheckDate,apt.FNote,apt.FBiller,tmp2.FSumSort

From #TmpResult2 tmp2 
Left Join #AA_Rpt2010007 apt On tmp2.FSupplyID = apt.FSupplyID  And  tmp2.FAppUserID = apt.FAppUserID  And  tmp2.FRptID = apt.FRptID
 Where tmp2.FSumSort>0 
IF OBJECT_ID('tempdb..#TmpResult')<>0 DROP TABLE #TmpResult 
IF OBJECT_ID('tempdb..#TmpResult2')<>0 DROP TABLE #TmpResult2 
IF OBJECT_ID('tempdb..#ItemLevel')<>0 DROP TABLE #ItemLevel 
IF OBJECT_ID('tempdb..#AA_Rpt2010007_Update')<>0 DROP TABLE #AA_Rpt2010007_Update 
IF OBJECT_ID('tempdb..#AA_Rpt2010007')<>0 DROP TABLE #AA_Rpt2010007 
GO
