
IF OBJECT_ID('tempdb..#TmpResult')<>0 DROP TABLE #TmpResult 
Select T1.FUseDeptID,T1.FRptID,
Sum(IsNull(T1.FAuxQty,0)) as FAuxQty,Sum(IsNull(T1.FCheckQty,0)) as FCheckQty,
Sum(IsNull(T1.FAmount,0)) as FAmount,Sum(IsNull(T1.FTaxAmt,0)) as FTaxAmt,Sum(IsNull(T1.FRelationCardQty,0)) as FRelationCardQty,
Sum(IsNull(T1.FNoDoCardQty,0)) as FNoDoCardQty,
Sum(IsNull(T1.FRelationCardBal,0)) as FRelationCardBal,Sum(IsNull(T1.FCardDiffBal,0)) as FCardDiffBal,
Max(FQtyDecimal) as FQtyDecimal,Max(FPriceDecimal) as FPriceDecimal
   ,CASE 
 WHEN Grouping(T1.FUseDeptID)=1 THEN 101
 WHEN Grouping(T1.FRptID)=1 THEN 102
 ELSE 0 END AS FSumSort

INTO #TmpResult 
From #AA_Rpt2010006 T1 
Group by T1.FUseDeptID,T1.FRptID With RollUp 
GO
----取各内码ID对应Number与名称SQL:Begin--
IF OBJECT_ID('tempdb..#TmpResult2')<>0 DROP TABLE #TmpResult2 
Select t1.FUseDeptID,UseDep.FNumber AS FUseDeptNumber,UseDep.FName AS FUseDeptName,FSumSort,FRptID,
 t1.FAuxQty ,t1.FCheckQty,t1.FAmount,t1.FTaxAmt,
 t1.FRelationCardQty, t1.FNoDoCardQty,
 t1.FRelationCardBal,t1.FCardDiffBal,t1.FQtyDecimal,t1.FPriceDecimal 
INTO #TmpResult2
From #TmpResult t1
Left Join t_Department UseDep ON t1.FUseDeptID=UseDep.FItemID

----取各内码ID对应Number与名称SQL:End--
GO
Update #TmpResult2 Set FUseDeptName=ISNULL(FUseDeptName,'')+'(合计)' WHERE FSumSort=101
GO
Update #TmpResult2 Set FUseDeptName=ISNULL(FUseDeptName,'')+'(小计)' WHERE FSumSort=102
GO
Select tmp2.FUseDeptID,tmp2.FUseDeptNumber,tmp2.FUseDeptName,
apt.FSupplyID,apt.FSupplyNumber,apt.FSupplyName,apt.FAppUserID,apt.FAppUserNumber,apt.FAppUserName,apt.FItemID,apt.FItemNumber,apt.FItemName,
 apt.FDate,apt.FMultiCheckStatus,apt.FSource,apt.FBillNo,apt.FProjectID,apt.FProjectNumber,apt.FItemModel,apt.FBaseUnit,
 apt.FUnit,apt.FAuxUnit,apt.FSecCoefficient,apt.FPrice,
 Case When tmp2.FSumSort > 0 Then  tmp2.FAuxQty Else apt.FAuxQty End as FAuxQty, 
 Case When tmp2.FSumSort > 0 Then  tmp2.FCheckQty Else apt.FCheckQty End as FCheckQty,
 Case When tmp2.FSumSort > 0 Then  tmp2.FAmount Else apt.FAmount End as FAmount,
 Case When tmp2.FSumSort > 0 Then  tmp2.FTaxAmt Else apt.FTaxAmt End as FTaxAmt,
 Case When tmp2.FSumSort > 0 Then  tmp2.FRelationCardQty Else apt.FRelationCardQty End as FRelationCardQty,
 Case When tmp2.FSumSort > 0 Then  tmp2.FNoDoCardQty Else apt.FNoDoCardQty End as FNoDoCardQty,
 Case When tmp2.FSumSort > 0 Then  tmp2.FRelationCardBal Else apt.FRelationCardBal End as FRelationCardBal,
 Case When tmp2.FSumSort > 0 Then  tmp2.FCardDiffBal Else apt.FCardDiffBal End as FCardDiffBal,
 Case When tmp2.FSumSort > 0 Then  IsNull(tmp2.FQtyDecimal,2) Else IsNull(apt.FQtyDecimal,2) End as FQtyDecimal,
 Case When tmp2.FSumSort > 0 Then  IsNull(tmp2.FPriceDecimal,2) Else IsNull(apt.FPriceDecimal,2) End as FPriceDecimal,
   apt.FBatchNo,apt.FWarehouse,apt.FBin,apt.FUseFor,apt.FChecker,apt.FCheckDate,apt.FBiller,tmp2.FSumSort

From #TmpResult2 tmp2 
Left Join #AA_Rpt2010006 apt On tmp2.FUseDeptID = apt.FUseDeptID  And  tmp2.FRptID = apt.FRptID
IF OBJECT_ID('tempdb..#TmpResult')<>0 DROP TABLE #TmpResult 
IF OBJECT_ID('tempdb..#TmpResult2')<>0 DROP TABLE #TmpResult2 
IF OBJECT_ID('tempdb..#ItemLevel')<>0 DROP TABLE #ItemLevel 
IF OBJECT_ID('tempdb..#AA_Rpt2010006_Update')<>0 DROP TABLE #AA_Rpt2010006_Update 
IF OBJECT_ID('tempdb..#AA_Rpt2010006')<>0 DROP TABLE #AA_Rpt2010006 
GO
