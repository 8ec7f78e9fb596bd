--插入合计行
  INSERT INTO #AA_Rpt2010005 
   ( FSupplyNumber,FQty,
     FTotalAmtFor,FArriveQty,FUnArriveQty,FAcceptanceQty,FUnAcceptanceQty,
     FInvoiceQty, FUnInvoiceQty, FSettleAmt,FUnSettleAmt,FSumSort,FQtyDecimal
    )
 Select '合计:' as FSupplyNumber,
     IsNull(Sum(FQty),0),IsNull(Sum(FTotalAmtFor),0),IsNull(Sum(FArriveQty),0),
     IsNull(Sum(FUnArriveQty),0),IsNull(Sum(FAcceptanceQty),0),IsNull(Sum(FUnAcceptanceQty),0),IsNull(Sum(FInvoiceQty),0), 
     IsNull(Sum(FUnInvoiceQty),0),IsNull(Sum(FSettleAmt),0),IsNull(Sum(FUnSettleAmt),0),101 as FSumSort,Max(FQtyDecimal)
 From #AA_Rpt2010005 
Select * From #AA_Rpt2010005
IF OBJECT_ID('tempdb..#AA_Rpt2010005')<>0 DROP TABLE #AA_Rpt2010005 
