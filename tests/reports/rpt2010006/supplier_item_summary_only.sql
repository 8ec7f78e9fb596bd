
IF OBJECT_ID('tempdb..#TmpResult')<>0 DROP TABLE #TmpResult 
Select T1.FSupplyID,T1.FItemID,T1.FRptID,
Sum(IsNull(T1.FAuxQty,0)) as FAuxQty,Sum(IsNull(T1.FCheckQty,0)) as FCheckQty,
Sum(IsNull(T1.FAmount,0)) as FAmount,Sum(IsNull(T1.FTaxAmt,0)) as FTaxAmt,Sum(IsNull(T1.FRelationCardQty,0)) as FRelationCardQty,
Sum(IsNull(T1.FNoDoCardQty,0)) as FNoDoCardQty,
Sum(IsNull(T1.FRelationCardBal,0)) as FRelationCardBal,Sum(IsNull(T1.FCardDiffBal,0)) as FCardDiffBal,
Max(FQtyDecimal) as FQtyDecimal,Max(FPriceDecimal) as FPriceDecimal
   ,CASE 
 WHEN Grouping(T1.FSupplyID)=1 THEN 101
 WHEN Grouping(T1.FItemID)=1 THEN 102
 WHEN Grouping(T1.FRptID)=1 THEN 103
 ELSE 0 END AS FSumSort

INTO #TmpResult 
From #AA_Rpt2010006 T1 
Group by T1.FSupplyID,T1.FItemID,T1.FRptID With RollUp 
GO
----取各内码ID对应Number与名称SQL:Begin--
IF OBJECT_ID('tempdb..#TmpResult2')<>0 DROP TABLE #TmpResult2 
Select t1.FSupplyID,Sup.FNumber AS FSupplyNumber,Sup.FName AS FSupplyName,t1.FItemID,Item.FNumber AS FItemNumber,Item.FName AS FItemName,FSumSort,FRptID,
 t1.FAuxQty ,t1.FCheckQty,t1.FAmount,t1.FTaxAmt,
 t1.FRelationCardQty, t1.FNoDoCardQty,
 t1.FRelationCardBal,t1.FCardDiffBal,t1.FQtyDecimal,t1.FPriceDecimal 
INTO #TmpResult2
From #TmpResult t1
Left Join t_Supplier Sup ON t1.FSupplyID=Sup.FItemID
Left Join t_ICItem Item ON t1.FItemID=Item.FItemID

----取各内码ID对应Number与名称SQL:End--
GO
Update #TmpResult2 Set FSupplyName=ISNULL(FSupplyName,'')+'(合计)' WHERE FSumSort=101
GO
Update #TmpResult2 Set FSupplyName=ISNULL(FSupplyName,'')+'(小计)' WHERE FSumSort=102
Update #TmpResult2 Set FItemName=ISNULL(FItemName,'')+'(小计)' WHERE FSumSort=103
GO
Select tmp2.FSupplyID,tmp2.FSupplyNumber,tmp2.FSupplyName,tmp2.FItemID,tmp2.FItemNumber,tmp2.FItemName,
apt.FAppUserID,apt.FAppUserNumber,apt.FAppUserName,apt.FUseDeptID,apt.FUseDeptNumber,apt.FUseDeptName,
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
Left Join #AA_Rpt2010006 apt On tmp2.FSupplyID = apt.FSupplyID  And  tmp2.FItemID = apt.FItemID  And  tmp2.FRptID = apt.FRptID
 Where tmp2.FSumSort>0 
IF OBJECT_ID('tempdb..#TmpResult')<>0 DROP TABLE #TmpResult 
IF OBJECT_ID('tempdb..#TmpResult2')<>0 DROP TABLE #TmpResult2 
IF OBJECT_ID('tempdb..#ItemLevel')<>0 DROP TABLE #ItemLevel 
IF OBJECT_ID('tempdb..#AA_Rpt2010006_Update')<>0 DROP TABLE #AA_Rpt2010006_Update 
IF OBJECT_ID('tempdb..#AA_Rpt2010006')<>0 DROP TABLE #AA_Rpt2010006 
GO
