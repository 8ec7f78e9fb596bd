--构建级次SQL:Begin--

----构建级次SQL:End--
GO
----关联2个表汇总取数SQL:Begin--
IF OBJECT_ID('tempdb..#TmpResult')<>0 DROP TABLE #TmpResult 
Select t2.FNumber1,t2.FName1,t2.FNumber2,t2.FName2,T1.FExpenseTypeID,T1.FRptID
,CASE 
 WHEN Grouping(t2.FNumber1)=1 THEN 101
 WHEN Grouping(t2.FName1)=1 THEN 120
 WHEN Grouping(t2.FNumber2)=1 THEN 103
 WHEN Grouping(t2.FName2)=1 THEN 122
 WHEN Grouping(T1.FExpenseTypeID)=1 THEN 105
 WHEN Grouping(T1.FRptID)=1 THEN 106
 ELSE 0 END AS FSumSort
,
Sum(IsNull(T1.FQty,0)) as FQty,Sum(IsNull(T1.FAmountFor,0)) as FAmountFor,
Sum(IsNull(T1.FTaxAmtFor,0)) as FTaxAmtFor,
Sum(IsNull(T1.FAmtNoTaxFor,0)) as FAmtNoTaxFor,
Max(FQtyDecimal) as FQtyDecimal,Max(FPriceDecimal) as FPriceDecimal
INTO #TmpResult
From #AA_Rpt2010002 t1
Left Join #ItemLevel t2 On t2.FItemID=
Group By t2.FNumber1,t2.FName1,t2.FNumber2,t2.FName2,T1.FExpenseTypeID,T1.FRptID With RollUp
----关联2个表汇总取数SQL:End--
GO
