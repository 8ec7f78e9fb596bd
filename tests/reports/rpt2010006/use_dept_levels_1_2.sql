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
 Where FItemClassID=2
  AND FItemID IN(Select FUseDeptID From #AA_Rpt2010006)
 Update t0 SET t0.FName1=t1.FName,t0.FName2=t2.FName
 From #ItemLevel t0 left join t_Item t1 On t0.FNumber1=t1.FNumber  COLLATE Chinese_PRC_CI_AS   AND t1.FItemClassID=2 AND t0.FItemClassID=t1.FItemClassID 
 left join t_Item t2 On t0.FNumber2=t2.FNumber  COLLATE Chinese_PRC_CI_AS   AND t2.FItemClassID=2 AND t0.FItemClassID=t2.FItemClassID 

----构建级次SQL:End--
GO
----关联2个表汇总取数SQL:Begin--
IF OBJECT_ID('tempdb..#TmpResult')<>0 DROP TABLE #TmpResult 
Select t2.FName1,t2.FName2,T1.FUseDeptID,T1.FRptID
,CASE 
 WHEN Grouping(t2.FName1)=1 THEN 101
 WHEN Grouping(t2.FName2)=1 THEN 120
 WHEN Grouping(T1.FUseDeptID)=1 THEN 103
 WHEN Grouping(T1.FRptID)=1 THEN 104
 ELSE 0 END AS FSumSort
,
Sum(IsNull(T1.FAuxQty,0)) as FAuxQty,Sum(IsNull(T1.FCheckQty,0)) as FCheckQty,
Sum(IsNull(T1.FAmount,0)) as FAmount,Sum(IsNull(T1.FTaxAmt,0)) as FTaxAmt,Sum(IsNull(T1.FRelationCardQty,0)) as FRelationCardQty,
Sum(IsNull(T1.FNoDoCardQty,0)) as FNoDoCardQty,
Sum(IsNull(T1.FRelationCardBal,0)) as FRelationCardBal,Sum(IsNull(T1.FCardDiffBal,0)) as FCardDiffBal,
Max(FQtyDecimal) as FQtyDecimal,Max(FPriceDecimal) as FPriceDecimal
INTO #TmpResult
From #AA_Rpt2010006 t1
Left Join #ItemLevel t2 On t2.FItemID=t1.FUseDeptID
Group By t2.FName1,t2.FName2,T1.FUseDeptID,T1.FRptID With RollUp
----关联2个表汇总取数SQL:End--
GO
----更新汇总列的名称SQL:Begin--
Update #TmpResult Set FName1=ISNULL(FName1,'')+'(合计)' WHERE FSumSort=101
Update #TmpResult Set FName1=ISNULL(FName1,'')+'(小计)' WHERE FSumSort=120
----更新汇总列的名称SQL:End--
GO
----取各内码ID对应Number与名称SQL:Begin--
IF OBJECT_ID('tempdb..#TmpResult2')<>0 DROP TABLE #TmpResult2 
Select FName1,FName2,t1.FUseDeptID,UseDep.FNumber AS FUseDeptNumber,UseDep.FName AS FUseDeptName,FSumSort,FRptID,
 t1.FAuxQty ,t1.FCheckQty,t1.FAmount,t1.FTaxAmt,
 t1.FRelationCardQty, t1.FNoDoCardQty,
 t1.FRelationCardBal,t1.FCardDiffBal,t1.FQtyDecimal,t1.FPriceDecimal 
INTO #TmpResult2
From #TmpResult t1
Left Join t_Department UseDep ON t1.FUseDeptID=UseDep.FItemID

----取各内码ID对应Number与名称SQL:End--
GO
Update #TmpResult2 Set FName2=ISNULL(FName2,'')+'(小计)' WHERE FSumSort=103
Update #TmpResult2 Set FUseDeptName=ISNULL(FUseDeptName,'')+'(小计)' WHERE FSumSort=104
GO
Select tmp2.FName1,tmp2.FName2,tmp2.FUseDeptID,tmp2.FUseDeptNumber,tmp2.FUseDeptName,
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
