
IF OBJECT_ID('tempdb..#TmpResult')<>0 DROP TABLE #TmpResult 
Select T1.FSupplyID,T1.FRptID,
Sum(IsNull(T1.FQty,0)) as FQty,Sum(IsNull(T1.FAmountFor,0)) as FAmountFor,
Sum(IsNull(T1.FTaxAmtFor,0)) as FTaxAmtFor,
Sum(IsNull(T1.FAmtNoTaxFor,0)) as FAmtNoTaxFor,
Max(FQtyDecimal) as FQtyDecimal,Max(FPriceDecimal) as FPriceDecimal
   ,CASE 
 WHEN Grouping(T1.FSupplyID)=1 THEN 101
 WHEN Grouping(T1.FRptID)=1 THEN 102
 ELSE 0 END AS FSumSort

INTO #TmpResult 
From #AA_Rpt2010002 T1 
Group by T1.FSupplyID,T1.FRptID With RollUp 
GO
----取各内码ID对应Number与名称SQL:Begin--
IF OBJECT_ID('tempdb..#TmpResult2')<>0 DROP TABLE #TmpResult2 
Select t1.FSupplyID,Sup.FNumber AS FSupplyNumber,Sup.FName AS FSupplyName,FSumSort,FRptID,
t1.FQty,t1.FAmountFor,t1.FTaxAmtFor ,t1.FAmtNoTaxFor,t1.FQtyDecimal,t1.FPriceDecimal
INTO #TmpResult2
From #TmpResult t1
Left Join t_Supplier Sup ON t1.FSupplyID=Sup.FItemID

----取各内码ID对应Number与名称SQL:End--
GO
Update #TmpResult2 Set FSupplyName=ISNULL(FSupplyName,'')+'(合计)' WHERE FSumSort=101
GO
Update #TmpResult2 Set FSupplyName=ISNULL(FSupplyName,'')+'(小计)' WHERE FSumSort=102
GO
Select tmp2.FSupplyID,tmp2.FSupplyNumber,tmp2.FSupplyName,
apt.FFeeID,apt.FFeeNumber,apt.FFeeName,apt.FExpenseTypeID,apt.FExpenseTypeNumber,apt.FExpenseTypeName,
 apt.FDate,apt.FBillNo,apt.FCurrency,apt.FUnit,apt.FPrice,apt.FTaxRate,FAmount,FTaxAmt,FAmtNoTax,
 Case When tmp2.FSumSort > 0 Then  tmp2.FQty Else apt.FQty End as FQty, 
 Case When tmp2.FSumSort > 0 Then  tmp2.FAmountFor Else apt.FAmountFor End as FAmountFor,
 Case When tmp2.FSumSort > 0 Then  tmp2.FTaxAmtFor Else apt.FTaxAmtFor End as FTaxAmtFor,
 Case When tmp2.FSumSort > 0 Then  tmp2.FAmtNoTaxFor Else apt.FAmtNoTaxFor End as FAmtNoTaxFor,
 Case When tmp2.FSumSort > 0 Then  tmp2.FQtyDecimal Else apt.FQtyDecimal End as FQtyDecimal,
 Case When tmp2.FSumSort > 0 Then  tmp2.FPriceDecimal Else apt.FPriceDecimal End as FPriceDecimal,
 apt.FChecker,apt.FNote,tmp2.FSumSort

From #TmpResult2 tmp2 
Left Join #AA_Rpt2010002 apt On tmp2.FSupplyID = apt.FSupplyID  And  tmp2.FRptID = apt.FRptID
IF OBJECT_ID('tempdb..#TmpResult')<>0 DROP TABLE #TmpResult 
IF OBJECT_ID('tempdb..#TmpResult2')<>0 DROP TABLE #TmpResult2 
IF OBJECT_ID('tempdb..#ItemLevel')<>0 DROP TABLE #ItemLevel 
IF OBJECT_ID('tempdb..#AA_Rpt2010002_Update')<>0 DROP TABLE #AA_Rpt2010002_Update 
IF OBJECT_ID('tempdb..#AA_Rpt2010002')<>0 DROP TABLE #AA_Rpt2010002 
GO
