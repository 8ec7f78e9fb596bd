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
  AND FItemID IN(Select FUseDeptID From #AA_Rpt2010007)
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
Sum(IsNull(T1.FAssetAppQty,0)) as FAssetAppQty,
Sum(IsNull(T1.FAuxQty,0)) as FAuxQty,Sum(IsNull(T1.FRelationApplicationQty,0)) as FRelationApplicationQty,
Sum(IsNull(T1.FApplicationFAQty,0)) as FApplicationFAQty,Sum(IsNull(T1.FApplicationFABal,0)) as FApplicationFABal,
Sum(IsNull(T1.FRelationCIPQty,0)) as FRelationCIPQty,Sum(IsNull(T1.FRelationCIPBal,0)) as FRelationCIPBal,
Sum(IsNull(T1.FApplicationLVCQty,0)) as FApplicationLVCQty,Sum(IsNull(T1.FApplicationLVCBal,0)) as FApplicationLVCBal,
Sum(IsNull(T1.FUnDoQty,0)) as FUnDoQty,Sum(IsNull(T1.FPlanStockQty,0)) as FPlanStockQty,
Sum(IsNull(T1.FPlanUseQty,0)) as FPlanUseQty,Sum(IsNull(T1.FRelationStockQty,0)) as FRelationStockQty,
Max(FQtyDecimal) as FQtyDecimal,Max(FPriceDecimal) as FPriceDecimal
INTO #TmpResult
From #AA_Rpt2010007 t1
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
 t1.FAssetAppQty,t1.FAuxQty ,t1.FRelationApplicationQty,
 t1.FApplicationFAQty, t1.FApplicationFABal,t1.FRelationCIPQty, t1.FRelationCIPBal,t1.FApplicationLVCQty ,t1.FApplicationLVCBal,
t1.FUnDoQty,t1.FPlanStockQty,t1.FPlanUseQty ,t1.FRelationStockQty,t1.FQtyDecimal,t1.FPriceDecimal
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
Left Join #AA_Rpt2010007 apt On tmp2.FUseDeptID = apt.FUseDeptID  And  tmp2.FRptID = apt.FRptID
IF OBJECT_ID('tempdb..#TmpResult')<>0 DROP TABLE #TmpResult 
IF OBJECT_ID('tempdb..#TmpResult2')<>0 DROP TABLE #TmpResult2 
IF OBJECT_ID('tempdb..#ItemLevel')<>0 DROP TABLE #ItemLevel 
IF OBJECT_ID('tempdb..#AA_Rpt2010007_Update')<>0 DROP TABLE #AA_Rpt2010007_Update 
IF OBJECT_ID('tempdb..#AA_Rpt2010007')<>0 DROP TABLE #AA_Rpt2010007 
GO
