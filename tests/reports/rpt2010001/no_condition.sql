--创建临时表 
SET NOCOUNT ON 
Create Table #Rpt2010001T(
FDate          DATETIME,                              
FFinDate       DATETIME,                              
FInvoiceType   NVARCHAR(255) NOT NULL DEFAULT(''),    
FInvoiceNumber NVARCHAR(255) NOT NULL DEFAULT(''),    
FSupplyNumber  NVARCHAR(255) NOT NULL DEFAULT(''),    
FSupplyName    NVARCHAR(255) NOT NULL DEFAULT(''),    
FItemNumber    NVARCHAR(255) NOT NULL DEFAULT(''),    
FItemName      NVARCHAR(255) NOT NULL DEFAULT(''),    
FModel         NVARCHAR(255) NOT NULL DEFAULT(''),    
FAuxPropertyID NVARCHAR(255) NOT NULL DEFAULT(''),    
FCurrencyID    NVARCHAR(255) NOT NULL DEFAULT(''),    
FUnitID        NVARCHAR(255) NOT NULL DEFAULT(''),    
FQty           DECIMAL(23,10),    
FPrice         DECIMAL(23,10),    
FBaseUnitID    NVARCHAR(255) NOT NULL DEFAULT(''),    
FBaseQty       DECIMAL(23,10),    
FBasePrice     DECIMAL(23,10),    
FComUnitID     NVARCHAR(255) NOT NULL DEFAULT(''),    
FComQty        DECIMAL(23,10),    
FComPrice      DECIMAL(23,10),    
FAmount        DECIMAL(23,10),    
FTaxRate       DECIMAL(23,10),    
FTaxAmt        DECIMAL(23,10),    
FTotalAmt      DECIMAL(23,10),    
FTotalAmtFor   DECIMAL(23,10),    
FChecker       NVARCHAR(255) NOT NULL DEFAULT(''),    
FNote          NVARCHAR(255) NOT NULL DEFAULT(''),    
FSumSort       SMALLINT NOT NULL DEFAULT(0),          
FCurrencyDecimal    SMALLINT DEFAULT(0),                   
FQtyDecimal    SMALLINT DEFAULT(0),                   
FPriceDecimal  SMALLINT DEFAULT(0)                    
)
INSERT INTO #Rpt2010001T(FDate,FFinDate,FInvoiceType,FInvoiceNumber,FSupplyNumber,FSupplyName,FItemNumber, FItemName,FModel,FAuxPropertyID,FCurrencyID,FUnitID,FQty,FPrice,FBaseUnitID,FBaseQty, FBasePrice,FComUnitID,FComQty,FComPrice,FAmount,FTaxRate,FTaxAmt,FTotalAmt, FTotalAmtFor,FChecker,FNote,FSumSort,FCurrencyDecimal,FQtyDecimal,FPriceDecimal)
SELECT u.FDate,u.FFincDate
,FInvoiceType=(CASE u.FClassTypeID WHEN 1000003 THEN N'资产采购普通发票' WHEN 1000004 THEN '资产采购增值税发票' ELSE N'' END)
,u.FBillNo,sup.FNumber AS FSupplyNumber,sup.FName AS FSupplyName
,ite.FNumber AS FItemNumber,ite.FName AS FItemName,ISNULL(ite.FModel,'') AS FModel
,ISNULL(aux.FName,'') AS FAuxPropertyID,ISNULL(cur.FName,'') AS FCurrencyID
,ISNULL(uni.FName,'') AS FUnitID,ISNULL(v.FAuxQty,0) AS FQty,ISNULL(v.FAuxPrice,0) AS FPrice
,ISNULL(buni.FName,'') AS FBaseUnitID,ISNULL(v.FQty,0) AS FBaseQty
,ISNULL(v.FAuxPrice,0)/(CASE uni.FCoefficient WHEN 0 THEN 1 ELSE uni.FCoefficient END) AS FBasePrice
,ISNULL(uni.FName,'') AS FComUnitID,ISNULL(v.FAuxQty,0) AS FComQty,ISNULL(v.FAuxPrice,0) AS FComPrice
,CASE u.FClassTypeID WHEN 1000003 THEN v.FAmountIncludeTax WHEN 1000004 THEN v.FAmount ELSE 0 END AS FAmount
,ISNULL(v.FTaxRate,0)*0.01 AS FTaxRate,ISNULL(v.FTaxAmount,0) AS FTaxAmount
,CASE u.FClassTypeID WHEN 1000003 THEN v.FAmount WHEN 1000004 THEN v.FAmountIncludeTax  ELSE 0 END AS FTotalAmt
,CASE u.FClassTypeID WHEN 1000003 THEN v.FStdAmount WHEN 1000004 THEN v.FStdAmountIncludeTax  ELSE 0 END AS FTotalAmtFor
,ISNULL(usr.FName,'') AS FChecker,ISNULL(u.FNote,'') AS FNote,0,ISNULL(cur.FScale,2) AS FCurrencyDecimal,ite.FQtyDecimal,ite.FPriceDecimal
FROM ICPurChase u
INNER JOIN ICPurChaseEntry v  ON u.FInterID=v.FInterID
LEFT JOIN t_Supplier sup ON u.FSupplyID=sup.FItemID
LEFT JOIN t_ICItem ite   ON v.FItemID=ite.FItemID 
LEFT JOIN t_AuxItem aux  ON v.FAuxPropID=aux.FItemID
LEFT JOIN t_Currency cur ON u.FCurrencyID=cur.FCurrencyID
LEFT JOIN t_Measureunit uni ON v.FUnitID=uni.FItemID 
LEFT JOIN t_Measureunit buni ON ite.FUnitID=buni.FItemID
LEFT JOIN t_User usr ON u.FCheckerID=usr.FUserID AND usr.FUserID>0
WHERE u.FSubSystemID=3 
INSERT INTO #Rpt2010001T(FDate,FFinDate,FInvoiceType,FInvoiceNumber,FSupplyNumber,FSupplyName,FItemNumber, FItemName,FModel,FAuxPropertyID,FCurrencyID,FUnitID,FQty,FPrice,FBaseUnitID,FBaseQty, FBasePrice,FComUnitID,FComQty,FComPrice,FAmount,FTaxRate,FTaxAmt,FTotalAmt, FTotalAmtFor,FChecker,FNote,FSumSort,FCurrencyDecimal,FQtyDecimal,FPriceDecimal)
SELECT NULL,NULL,'','',N'',N'',N'合计：'
,N'',N'',N'',N'',N'',NULL,NULL,N'',NULL
,NULL,N'',NULL,NULL,ISNULL(SUM(FAmount),0),NULL,ISNULL(SUM(FTaxAmt),0),ISNULL(SUM(FTotalAmt),0)
,ISNULL(SUM(FTotalAmtFor),0),N'',N'',101,MAX(FCurrencyDecimal),NULL,NULL
FROM #Rpt2010001T
SELECT * FROM #Rpt2010001T ORDER BY FSumSort
DROP TABLE #Rpt2010001T
