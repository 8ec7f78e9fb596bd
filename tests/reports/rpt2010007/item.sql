
IF OBJECT_ID('tempdb..#TmpResult')<>0 DROP TABLE #TmpResult 
Select T1.FItemID,T1.FRptID,
Sum(IsNull(T1.FAppQty,0)) as FAppQty,Sum(IsNull(T1.FCheckQty,0)) as FCheckQty,
Sum(IsNull(T1.FAuxQty,0)) as FAuxQty,Sum(IsNull(T1.FRelationAAQty,0)) as FRelationAAQty,
Sum(IsNull(T1.FRelationFAQty,0)) as FRelationFAQty,Sum(IsNull(T1.FRelationFABal,0)) as FRelationFABal,
Sum(IsNull(T1.FRelationCIPQty,0)) as FRelationCIPQty,Sum(IsNull(T1.FRelationCIPBal,0)) as FRelationCIPBal,
Sum(IsNull(T1.FRelationLVCQty,0)) as FRelationLVCQty,Sum(IsNull(T1.FRelationLVCBal,0)) as FRelationLVCBal,
Sum(IsNull(T1.FUnDoQty,0)) as FUnDoQty,Sum(IsNull(T1.FPlanStockQty,0)) as FPlanStockQty,
Sum(IsNull(T1.FPlanUseQty,0)) as FPlanUseQty,Sum(IsNull(T1.FRelationStockQty,0)) as FRelationStockQty,
Max(FQtyDecimal) as FQtyDecimal,Max(FPriceDecimal) as FPriceDecimal
   ,CASE 
 WHEN Grouping(T1.FItemID)=1 THEN 101
 WHEN Grouping(T1.FRptID)=1 THEN 102
 ELSE 0 END AS FSumSort

INTO #TmpResult 
From #AA_Rpt2010007 T1 
Group by T1.FItemID,T1.FRptID With RollUp 
GO
----取各内码ID对应Number与名称SQL:Begin--
IF OBJECT_ID('tempdb..#TmpResult2')<>0 DROP TABLE #TmpResult2 
Select t1.FItemID,Item.FNumber AS FItemNumber,Item.FName AS FItemName,FSumSort,FRptID,
 t1.FAppQty, t1.FCheckQty,t1.FAuxQty ,t1.FRelationAAQty,
 t1.FRelationFAQty, t1.FRelationFABal,t1.FRelationCIPQty, t1.FRelationCIPBal,t1.FRelationLVCQty ,t1.FRelationLVCBal,
t1.FUnDoQty,t1.FPlanStockQty,t1.FPlanUseQty ,t1.FRelationStockQty,t1.FQtyDecimal,t1.FPriceDecimal
INTO #TmpResult2
From #TmpResult t1
Left Join t_ICItem Item ON t1.FItemID=Item.FItemID

----取各内码ID对应Number与名称SQL:End--
GO
Update #TmpResult2 Set FItemName=ISNULL(FItemName,'')+'(合计)' WHERE FSumSort=101
GO
Update #TmpResult2 Set FItemName=ISNULL(FItemName,'')+'(小计)' WHERE FSumSort=102
GO
Select tmp2.FItemID,tmp2.FItemNumber,tmp2.FItemName,
apt.FSupplyID,apt.FSupplyNumber,apt.FSupplyName,apt.FAppUserID,apt.FAppUserNumber,apt.FAppUserName,apt.FUseDeptID,apt.FUseDeptNumber,apt.FUseDeptName,
apt.FAppDeptID, apt.FAppDeptNumber, apt.FAppDeptName,
     apt.FDate,apt.FMultiCheckStatus,apt.FCloseStatus,apt.FItemModel,apt.FBaseUnit,
     apt.FUnit,apt.FAuxUnit,apt.FSecCoefficient,
     Case When tmp2.FSumSort > 0 Then  tmp2.FAuxQty Else apt.FAuxQty End as FAuxQty, 
     apt.FAppDeptID,apt.FAppDeptNumber,apt.FAppDeptName,
 apt.FBillNo,
 Case When tmp2.FSumSort > 0 Then  tmp2.FAppQty Else apt.FAppQty End as FAppQty,
 Case When tmp2.FSumSort > 0 Then  tmp2.FCheckQty Else apt.FCheckQty End as FCheckQty,
 Case When tmp2.FSumSort > 0 Then  tmp2.FRelationAAQty Else apt.FRelationAAQty End as FRelationAAQty,
 Case When tmp2.FSumSort > 0 Then  tmp2.FRelationFAQty Else apt.FRelationFAQty End as FRelationFAQty,
 Case When tmp2.FSumSort > 0 Then  tmp2.FRelationFABal Else apt.FRelationFABal End as FRelationFABal,
 Case When tmp2.FSumSort > 0 Then  tmp2.FRelationCIPQty Else apt.FRelationCIPQty End as FRelationCIPQty,
 Case When tmp2.FSumSort > 0 Then  tmp2.FRelationCIPBal Else apt.FRelationCIPBal End as FRelationCIPBal,
 Case When tmp2.FSumSort > 0 Then  tmp2.FRelationLVCQty Else apt.FRelationLVCQty End as FRelationLVCQty,
 Case When tmp2.FSumSort > 0 Then  tmp2.FRelationLVCBal Else apt.FRelationLVCBal End as FRelationLVCBal,
 Case When tmp2.FSumSort > 0 Then  tmp2.FUnDoQty Else apt.FUnDoQty End as FUnDoQty,
 Case When tmp2.FSumSort > 0 Then  tmp2.FPlanStockQty Else apt.FPlanStockQty End as FPlanStockQty,
 Case When tmp2.FSumSort > 0 Then  tmp2.FPlanUseQty Else apt.FPlanUseQty End as FPlanUseQty,
 Case When tmp2.FSumSort > 0 Then  tmp2.FRelationStockQty Else apt.FRelationStockQty End as FRelationStockQty,
 Case When tmp2.FSumSort > 0 Then  tmp2.FQtyDecimal Else apt.FQtyDecimal End as FQtyDecimal,
 Case When tmp2.FSumSort > 0 Then  tmp2.FPriceDecimal Else apt.FPriceDecimal End as FPriceDecimal,
     apt.FChecker,apt.FCheckDate,apt.FNote,apt.FBiller,tmp2.FSumSort

From #TmpResult2 tmp2 
Left Join #AA_Rpt2010007 apt On tmp2.FItemID = apt.FItemID  And  tmp2.FRptID = apt.FRptID
IF OBJECT_ID('tempdb..#TmpResult')<>0 DROP TABLE #TmpResult 
IF OBJECT_ID('tempdb..#TmpResult2')<>0 DROP TABLE #TmpResult2 
IF OBJECT_ID('tempdb..#ItemLevel')<>0 DROP TABLE #ItemLevel 
IF OBJECT_ID('tempdb..#AA_Rpt2010007_Update')<>0 DROP TABLE #AA_Rpt2010007_Update 
IF OBJECT_ID('tempdb..#AA_Rpt2010007')<>0 DROP TABLE #AA_Rpt2010007 
GO
