--插入合计行
  INSERT INTO #AA_Rpt2010002 
   ( FFeeName,FQty,FAmountFor,FTaxAmtFor,FAmtNoTaxFor,FSumSort,FQtyDecimal,FPriceDecimal
    )
 Select '合计:' as FFeeName,
     IsNull(Sum(FQty),0),IsNull(Sum(FAmountFor),0),IsNull(Sum(FTaxAmtFor),0),IsNull(Sum(FAmtNoTaxFor),0),101 as FSumSort,Max(FQtyDecimal),Max(FPriceDecimal)
 From #AA_Rpt2010002 
Select * From #AA_Rpt2010002
IF OBJECT_ID('tempdb..#AA_Rpt2010002')<>0 DROP TABLE #AA_Rpt2010002 
GO
