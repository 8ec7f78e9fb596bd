WHERE u.FSubSystemID=3 
 AND ISNULL(u.FCheckerID,0)=0 AND ISNULL(u.FHookStatus,0)<=0INSERT INTO #Rpt2010001T(FDate,FFinDate,FInvoiceType,FInvoiceNumber,FSupplyNumber,FSupplyName,FItemNumber, FItemName,FModel,FAuxPropertyID,FCurrencyID,FUnitID,FQty,FPrice,FBaseUnitID,FBaseQty, FBasePrice,FComUnitID,FComQty,FComPrice,FAmount,FTaxRate,FTaxAmt,FTotalAmt, FTotalAmtFor,FChecker,FNote,FSumSort,FCurrencyDecimal,FQtyDecimal,FPriceDecimal)
SELECT NULL,NULL,'','',N'',N'',N'合计：'
,N'',N'',N'',N'',N'',NULL,NULL,N'',NULL
,NULL,N'',NULL,NULL,ISNULL(SUM(FAmount),0),NULL,ISNULL(SUM(FTaxAmt),0),ISNULL(SUM(FTotalAmt),0)
,ISNULL(SUM(FTotalAmtFor),0),N'',N'',101,MAX(FCurrencyDecimal),NULL,NULL
FROM #Rpt2010001T
SELECT * FROM #Rpt2010001T ORDER BY FSumSort
DROP TABLE #Rpt2010001T
