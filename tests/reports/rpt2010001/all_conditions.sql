WHERE u.FSubSystemID=3 
 AND u.FDate>='2024-01-01' AND u.FDate<='2024-12-31' AND ite.FNumber>='01.001' AND ite.FNumber<='01.999' AND sup.FNumber>='S01' AND sup.FNumber<='S09' AND cur.FNumber>='CNY' AND cur.FNumber<='USD' AND u.FCheckerID>0 AND u.FHookStatus=2INSERT INTO #Rpt2010001T(FDate,FFinDate,FInvoiceType,FInvoiceNumber,FSupplyNumber,FSupplyName,FItemNumber, FItemName,FModel,FAuxPropertyID,FCurrencyID,FUnitID,FQty,FPrice,FBaseUnitID,FBaseQty, FBasePrice,FComUnitID,FComQty,FComPrice,FAmount,FTaxRate,FTaxAmt,FTotalAmt, FTotalAmtFor,FChecker,FNote,FSumSort,FCurrencyDecimal,FQtyDecimal,FPriceDecimal)
SELECT NULL,NULL,'','',N'',N'',N'合计：'
,N'',N'',N'',N'',N'',NULL,NULL,N'',NULL
,NULL,N'',NULL,NULL,ISNULL(SUM(FAmount),0),NULL,ISNULL(SUM(FTaxAmt),0),ISNULL(SUM(FTotalAmt),0)
,ISNULL(SUM(FTotalAmtFor),0),N'',N'',101,MAX(FCurrencyDecimal),NULL,NULL
FROM #Rpt2010001T
SELECT * FROM #Rpt2010001T ORDER BY FSumSort, FDate desc ,FInvoiceNumber ASC
DROP TABLE #Rpt2010001T
