--构建级次SQL:Begin--
IF OBJECT_ID('tempdb..#ItemLevel')<>0 DROP TABLE #ItemLevel
CREATE TABLE #ItemLevel( 
 FItemClassID int, 
 FNumber1 NVarchar(355),
 FName1 NVarchar(355),
 FNumber2 NVarchar(355),
 FName2 NVarchar(355),
 FItemID int,
 FNumber NVARCHAR(355),
 FName NVARCHAR(355))

 Insert Into #ItemLevel 
 SELECT FItemClassID, 

 Case When CharIndex('.',FFullNumber)-1= -1  THEN FNumber 
      ELSE SUBSTRING(FNumber, 1,CharIndex('.',FFullNumber)-1)  END, 
 '',

 Case When CharIndex('.',FFullNumber)-1= -1  THEN Null 
When CharIndex('.',FFullNumber,CharIndex('.',FFullNumber)+1)-1= -1  THEN FNumber 
      ELSE SUBSTRING(FNumber, 1,CharIndex('.',FFullNumber,CharIndex('.',FFullNumber)+1)-1)  END, 
 '',
 FItemID,FNumber,FName From t_Item
 Where FItemClassID=8
  AND FItemID IN(Select FSupplyID From #AA_Rpt2010002)
 Update t0 SET t0.FName1=t1.FName,t0.FName2=t2.FName
 From #ItemLevel t0 left join t_Item t1 On t0.FNumber1=t1.FNumber  COLLATE Chinese_PRC_CI_AS   AND t1.FItemClassID=8 AND t0.FItemClassID=t1.FItemClassID 
 left join t_Item t2 On t0.FNumber2=t2.FNumber  COLLATE Chinese_PRC_CI_AS   AND t2.FItemClassID=8 AND t0.FItemClassID=t2.FItemClassID 

----构建级次SQL:End--
GO
----关联2个表汇总取数SQL:Begin--
IF OBJECT_ID('tempdb..#TmpResult')<>0 DROP TABLE #TmpResult 
Select t2.FNumber1,t2.FName1,t2.FNumber2,t2.FName2,T1.FFeeID,T1.FSupplyID,T1.FRptID
,CASE 
 WHEN Grouping(t2.FNumber1)=1 THEN 101
 WHEN Grouping(t2.FName1)=1 THEN 120
 WHEN Grouping(t2.FNumber2)=1 THEN 103
 WHEN Grouping(t2.FName2)=1 THEN 122
 WHEN Grouping(T1.FFeeID)=1 THEN 105
 WHEN Grouping(T1.FSupplyID)=1 THEN 106
 WHEN Grouping(T1.FRptID)=1 THEN 107
 ELSE 0 END AS FSumSort
,
Sum(IsNull(T1.FQty,0)) as FQty,Sum(IsNull(T1.FAmountFor,0)) as FAmountFor,
Sum(IsNull(T1.FTaxAmtFor,0)) as FTaxAmtFor,
Sum(IsNull(T1.FAmtNoTaxFor,0)) as FAmtNoTaxFor,
Max(FQtyDecimal) as FQtyDecimal,Max(FPriceDecimal) as FPriceDecimal
INTO #TmpResult
From #AA_Rpt2010002 t1
Left Join #ItemLevel t2 On t2.FItemID=t1.FSupplyID
Group By t2.FNumber1,t2.FName1,t2.FNumber2,t2.FName2,T1.FFeeID,T1.FSupplyID,T1.FRptID With RollUp
----关联2个表汇总取数SQL:End--
GO
----取各内码ID对应Number与名称SQL:Begin--
IF OBJECT_ID('tempdb..#TmpResult2')<>0 DROP TABLE #TmpResult2 
Select FNumber1,FName1,FNumber2,FName2,t1.FFeeID,Fee.FNumber AS FFeeNumber,Fee.FName AS FFeeName,t1.FSupplyID,Sup.FNumber AS FSupplyNumber,Sup.FName AS FSupplyName,FSumSort,FRptID,
t1.FQty,t1.FAmountFor,t1.FTaxAmtFor ,t1.FAmtNoTaxFor,t1.FQtyDecimal,t1.FPriceDecimal
INTO #TmpResult2
From #TmpResult t1
Left Join t_Fee Fee ON t1.FFeeID = Fee.FItemID
Left Join t_Supplier Sup ON t1.FSupplyID=Sup.FItemID

----取各内码ID对应Number与名称SQL:End--
GO
Update #TmpResult2 Set FNumber1=ISNULL(FNumber1,'')+'(合计)' WHERE FSumSort=101
Update #TmpResult2 Set FNumber1=ISNULL(FNumber1,'')+'(小计)' WHERE FSumSort=120
Update #TmpResult2 Set FNumber2=ISNULL(FNumber2,'')+'(小计)' WHERE FSumSort=122
GO
Update #TmpResult2 Set FName1=ISNULL(FName1,'')+'(小计)' WHERE FSumSort=103
Update #TmpResult2 Set FName2=ISNULL(FName2,'')+'(小计)' WHERE FSumSort=105
Update #TmpResult2 Set FFeeName=ISNULL(FFeeName,'')+'(小计)' WHERE FSumSort=106
Update #TmpResult2 Set FSupplyName=ISNULL(FSupplyName,'')+'(小计)' WHERE FSumSort=107
GO
Delete From #TmpResult2 Where  FNumber1 Like '%(小计)%'
Delete From #TmpResult2 Where  FNumber2 Like '%(小计)%'
Delete From #TmpResult2 Where FSupplyName Like '%(小计)%'
GO
Select tmp2.FNumber1,tmp2.FName1,tmp2.FNumber2,tmp2.FName2,tmp2.FFeeID,tmp2.FFeeNumber,tmp2.FFeeName,tmp2.FSupplyID,tmp2.FSupplyNumber,tmp2.FSupplyName,
apt.FExpenseTypeID,apt.FExpenseTypeNumber,apt.FExpenseTypeName,
 apt.FDate,apt.FBillNo,apt.FCurrency,apt.FUnit,apt.FPrice,apt.FTaxRate,FAmount,FTaxAmt,FAmtNoTax,
 Case When tmp2.FSumSort > 0 Then  tmp2.FQty Else apt.FQty End as FQty, 
 Case When tmp2.FSumSort > 0 Then  tmp2.FAmountFor Else apt.FAmountFor End as FAmountFor,
 Case When tmp2.FSumSort > 0 Then  tmp2.FTaxAmtFor Else apt.FTaxAmtFor End as FTaxAmtFor,
 Case When tmp2.FSumSort > 0 Then  tmp2.FAmtNoTaxFor Else apt.FAmtNoTaxFor End as FAmtNoTaxFor,
 Case When tmp2.FSumSort > 0 Then  tmp2.FQtyDecimal Else apt.FQtyDecimal End as FQtyDecimal,
 Case When tmp2.FSumSort > 0 Then  tmp2.FPriceDecimal Else apt.FPriceDecimal End as FPriceDecimal,
 apt.FChecker,apt.FNote,tmp2.FSumSort

From #TmpResult2 tmp2 
Left Join #AA_Rpt2010002 apt On tmp2.FFeeID = apt.FFeeID  And  tmp2.FSupplyID = apt.FSupplyID  And  tmp2.FRptID = apt.FRptID
IF OBJECT_ID('tempdb..#TmpResult')<>0 DROP TABLE #TmpResult 
IF OBJECT_ID('tempdb..#TmpResult2')<>0 DROP TABLE #TmpResult2 
IF OBJECT_ID('tempdb..#ItemLevel')<>0 DROP TABLE #ItemLevel 
IF OBJECT_ID('tempdb..#AA_Rpt2010002_Update')<>0 DROP TABLE #AA_Rpt2010002_Update 
IF OBJECT_ID('tempdb..#AA_Rpt2010002')<>0 DROP TABLE #AA_Rpt2010002 
GO
