-- The tiny demo data: a few rows per table, each chosen for a case the report SQL
-- must handle. demo/tiny-expected.md works out the rows of reports 2010001,
-- 2010002, 2010005, 2010006 and 2010007 from these rows by hand; change a row here and
-- it must change there.

SET NOCOUNT ON

------------------------------------------------------------------------------------
-- Base data
------------------------------------------------------------------------------------

INSERT INTO t_ItemClass (FItemClassID,FNumber,FName,FName_en,FName_cht) VALUES
(2,N'002',N'部门',N'Department',N'部門'),
(3,N'003',N'职员',N'Employee',N'職員'),
(4,N'004',N'物料',N'Item',N'物料'),
(8,N'008',N'供应商',N'Supplier',N'供應商'),
(2014,N'2014',N'费用',N'Fee',N'費用'),
(2035,N'2035',N'预算科目',N'Budget item',N'預算科目'),
(2036,N'2036',N'项目',N'Project',N'項目'),
(2040,N'2040',N'责任中心',N'Responsibility centre',N'責任中心'),
(2041,N'2041',N'专项',N'Special project',N'專項')

-- Hierarchical numbers: parents FDetail 0, detail leaves FDetail 1, leaves at
-- depth 1 (02), 2 (01.01) and 3 (01.02.001). Supplier 405's number carries two
-- trailing blanks, in the tree and in t_Supplier alike. Supplier 406 ("00") is
-- a leaf at the top whose number sorts before every other; fee 504 has an
-- empty number.
INSERT INTO t_Item (FItemID,FItemClassID,FNumber,FName,FFullNumber,FDetail) VALUES
(101,2,N'01',N'总公司',N'01',0),
(102,2,N'01.01',N'行政部',N'01.01',1),
(103,2,N'01.02',N'工程部',N'01.02',0),
(104,2,N'01.02.001',N'设备科',N'01.02.001',1),
(105,2,N'02',N'Sales Dept',N'02',1),
(201,3,N'01',N'管理人员',N'01',0),
(202,3,N'01.001',N'张伟',N'01.001',1),
(203,3,N'01.002',N'Pat O''Brien',N'01.002',1),
(204,3,N'02',N'李娜',N'02',1),
(301,4,N'01',N'电子设备',N'01',0),
(302,4,N'01.01',N'计算机',N'01.01',0),
(303,4,N'01.01.001',N'笔记本电脑',N'01.01.001',1),
(304,4,N'01.01.002',N'台式机',N'01.01.002',1),
(305,4,N'01.02',N'打印机',N'01.02',1),
(306,4,N'02',N'办公家具',N'02',0),
(307,4,N'02.001',N'办公桌',N'02.001',1),
(308,4,N'02.002',N'Ergo Chair',N'02.002',1),
(309,4,N'02.003',N'文件柜',N'02.003',1),
(401,8,N'01',N'华东供应商',N'01',0),
(402,8,N'01.001',N'上海精工有限公司',N'01.001',1),
(403,8,N'01.002',N'O''Neil Trading',N'01.002',1),
(404,8,N'02',N'华北供应商',N'02',0),
(405,8,N'02.001  ',N'北京远大贸易',N'02.001  ',1),
(406,8,N'00',N'Acme 直供',N'00',1),
(501,2014,N'01',N'运输费',N'01',0),
(502,2014,N'01.01',N'国内运输',N'01.01',1),
(503,2014,N'02',N'安装费',N'02',1),
(504,2014,N'',N'杂费',N'',1),
(601,2035,N'01',N'资本支出',N'01',0),
(602,2035,N'01.01',N'设备购置',N'01.01',1),
(651,2036,N'01',N'新厂房工程',N'01',1),
(701,2040,N'01',N'总部中心',N'01',1),
(751,2041,N'01',N'技改专项',N'01',1)

INSERT INTO t_Department (FItemID,FNumber,FName) VALUES
(102,N'01.01',N'行政部'),
(104,N'01.02.001',N'设备科'),
(105,N'02',N'Sales Dept')

INSERT INTO t_Emp (FItemID,FNumber,FName) VALUES
(202,N'01.001',N'张伟'),
(203,N'01.002',N'Pat O''Brien'),
(204,N'02',N'李娜')

INSERT INTO t_Supplier (FItemID,FNumber,FName) VALUES
(402,N'01.001',N'上海精工有限公司'),
(403,N'01.002',N'O''Neil Trading'),
(405,N'02.001  ',N'北京远大贸易'),
(406,N'00',N'Acme 直供')

INSERT INTO t_Fee (FItemID,FNumber,FName) VALUES
(502,N'01.01',N'国内运输'),
(503,N'02',N'安装费'),
(504,N'',N'杂费')

-- 304 has no model; 307 has no precisions (the reports fall back to their defaults);
-- 309 has no secondary unit (0 names no unit).
INSERT INTO t_ICItem (FItemID,FNumber,FName,FModel,FUnitID,FSecUnitID,FQtyDecimal,FPriceDecimal) VALUES
(303,N'01.01.001',N'笔记本电脑',N'T14',1,1,0,2),
(304,N'01.01.002',N'台式机',NULL,1,1,0,2),
(305,N'01.02',N'打印机',N'LJ-2000',1,3,2,4),
(307,N'02.001',N'办公桌',N'1.6m',2,2,NULL,NULL),
(308,N'02.002',N'Ergo Chair',N'EC-01',4,4,3,3),
(309,N'02.003',N'文件柜',N'FC-3',2,0,1,2)

-- A box of twelve, and a unit whose coefficient is 0 (base price divides by 1).
INSERT INTO t_MeasureUnit (FMeasureUnitID,FItemID,FName,FCoefficient) VALUES
(1,1,N'台',1),
(2,2,N'张',1),
(3,3,N'箱',12),
(4,4,N'把',0)

INSERT INTO t_AuxItem (FItemID,FName) VALUES
(801,N'红色'),
(802,N'Large')

-- EUR has no scale recorded (NULL).
INSERT INTO t_Currency (FCurrencyID,FNumber,FName,FScale) VALUES
(1,N'RMB',N'人民币',2),
(2,N'KWD',N'科威特第纳尔',3),
(3,N'JPY',N'日元',0),
(4,N'EUR',N'欧元',NULL)

INSERT INTO t_User (FUserID,FName) VALUES
(1,N'管理员'),
(2,N'Morgan'),
(3,N'D''Arcy')

INSERT INTO t_Stock (FItemID,FName) VALUES
(901,N'主仓库')

INSERT INTO t_StockPlace (FSPID,FName) VALUES
(1,N'A-01')

-- Expense types are code list 411; 41201 belongs to another list.
INSERT INTO t_subMessage (FInterID,FTypeID,FID,FName) VALUES
(41101,411,N'01',N'运杂费'),
(41102,411,N'02',N'安装调试费'),
(41201,412,N'01',N'其他费用')

INSERT INTO t_MgAcct (FMgAcctID,FNumber,FName,FLevel,FDetail) VALUES
(1,N'5001',N'管理费用',1,0),
(2,N'5001.01',N'办公费',2,1),
(3,N'5001.02',N'折旧费',2,0),
(4,N'5001.02.01',N'设备折旧',3,1)

-- Display preferences: two other keys or users beside each FchkDisEnter row, and two
-- FchkDisEnter rows of report 2010007 for user 3 that an older client left behind.
INSERT INTO ICReportProfile (FRptID,FUserID,FPlan,FKey,FValue,FStatus) VALUES
(2010001,1,N'0',N'FchkDisEnter',N'0',1),
(2010001,1,N'默认方案',N'FColumnOrder',N'FDate,FInvoiceNumber,FSupplyName',1),
(2010001,2,N'1',N'FchkDisEnter',N'1',1),
(2010005,1,N'1',N'FchkDisEnter',N'1',1),
(2010007,3,N'0',N'FchkDisEnter',N'0',1),
(2010007,3,N'1',N'FchkDisEnter',N'1',0)

INSERT INTO t_SupportedProc (FProcName) VALUES
(N'p_GetBillNo'),
(N'p_UpdateBillStatus'),
(N'p_RptItemLevel')

-- Data types by the ERP's own codes; FActualType and FBindType are the ADO types.
INSERT INTO t_DataTypeInfo (FDataType,FTypeName,FMaxPrecision,FMinScale,FMaxScale,FActualType,FBindType,FActualSize) VALUES
(1,N'int',NULL,NULL,NULL,3,3,4),
(2,N'decimal',38,0,38,131,131,NULL),
(3,N'nvarchar',4000,NULL,NULL,202,202,NULL),
(4,N'datetime',NULL,NULL,NULL,135,135,8),
(5,N'decimal() identity',38,0,0,131,131,NULL),
(6,N'smallint',NULL,NULL,NULL,2,2,2),
(7,N'float',NULL,NULL,NULL,5,5,8),
(8,N'varchar',8000,NULL,NULL,200,200,NULL),
(9,N'bit',NULL,NULL,NULL,11,11,1),
(10,N'money',NULL,NULL,NULL,6,6,8)
GO

------------------------------------------------------------------------------------
-- Purchase invoices (report 2010001)
------------------------------------------------------------------------------------

-- 1001 ordinary (1000003), audited, hook 2.       1002 VAT (1000004), checker 0, hook 0, KWD (scale 3).
-- 1003 VAT, EUR (NULL scale), hook 1.              1004 another type (1000005), missing currency 9,
--      dated 10:30 on the last day of March.            hook NULL.
-- 1005 ordinary, checker NULL, one line of NULLs.  1006 not an asset invoice (FSubSystemID 1).
-- 1007 an asset invoice without lines.
INSERT INTO ICPurChase (FInterID,FBillNo,FDate,FFincDate,FClassTypeID,FSubSystemID,FSupplyID,FCurrencyID,FCheckerID,FHookStatus,FNote) VALUES
(1001,N'ZPOFP000001','2024-01-10','2024-01-12',1000003,3,402,1,1,2,N'首批'),
(1002,N'ZPOFP000002','2024-02-15','2024-02-15',1000004,3,403,2,0,0,NULL),
(1003,N'ZPOFP000003','2024-03-20','2024-03-22',1000004,3,405,4,2,1,N'it''s ok'),
(1004,N'ZPOFP000004','2024-03-31 10:30:00','2024-04-01',1000005,3,402,9,3,NULL,N''),
(1005,N'ZPOFP000005','2024-04-02','2024-04-02',1000003,3,402,1,NULL,2,NULL),
(1006,N'CGFP000006','2024-02-01','2024-02-01',1000003,1,402,1,1,2,N'非资产'),
(1007,N'ZPOFP000007','2024-02-20',NULL,1000003,3,403,1,1,0,N'无分录')

-- 1001/2 is priced per box of 12 (base price 1000/12); 1002/1 uses the unit with
-- coefficient 0; 1003/1 has no unit; 1003/2 has no tax rate or tax; 1005/1 names
-- a missing auxiliary property and has no figures at all.
INSERT INTO ICPurChaseEntry (FInterID,FEntryID,FItemID,FAuxPropID,FUnitID,FAuxQty,FAuxPrice,FQty,FAmount,FAmountIncludeTax,FTaxRate,FTaxAmount,FStdAmount,FStdAmountIncludeTax) VALUES
(1001,1,303,801,1,2,5000,2,10000,11300,13,1300,10000,11300),
(1001,2,305,NULL,3,1,1000,12,1000,1130,13,130,1000,1130),
(1002,1,308,802,4,10,25.5,10,255,288.15,13,33.15,2550,2881.5),
(1003,1,307,NULL,NULL,3,800,3,2400,2712,13,312,18720,21153.6),
(1003,2,304,802,2,1,4000,1,4000,4520,NULL,NULL,31200,35256),
(1004,1,303,NULL,1,1,300,1,300,339,13,39,300,339),
(1005,1,305,803,1,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL),
(1006,1,303,801,1,1,5000,1,5000,5650,13,650,5000,5650)
GO

------------------------------------------------------------------------------------
-- The asset chain: application -> procurement order -> (inspection ->) acceptance -> requisition
------------------------------------------------------------------------------------

-- 3001 audited; 3002 partly audited; 3003 audited and closed; 3004 audited by user 3,
-- entered by user 99, who is no longer in t_User.
INSERT INTO AA_AssetsApp (FID,FBillNo,FAppDate,FMultiCheckStatus,FCloseStatus,FAppDeptID,FUseDeptID,FAppUserID,FCheckerID,FCheckDate,FBiller,FNote) VALUES
(3001,N'ZCSQ000001','2024-01-02',16,0,102,104,202,1,'2024-01-03',2,N'办公设备'),
(3002,N'ZCSQ000002','2024-01-15',4,0,105,105,204,0,NULL,2,N''),
(3003,N'ZCSQ000003','2024-02-01',16,1,102,102,203,3,'2024-02-02',1,N'O''Hara'),
(3004,N'ZCSQ000004','2024-02-25',16,0,105,102,202,3,'2024-02-26',99,N'')

-- 3003/1 has nothing executed (FNoDoQty equals FCheckQty) and no requisition: its
-- order line 2002/1 stops half-way, never accepted.
INSERT INTO AA_AssetsAppEntry (FID,FEntryID,FItemID,FUnitID,FSecCoefficient,FAssistantQty,FSupplyID,FAppQty,FCheckQty,FRelationFAQty,FRelationLVCQty,FNoDoQty,FPlanStockQty,FPlanUseQty,FRelationStockQty) VALUES
(3001,1,303,1,NULL,NULL,402,5,5,3,0,0,0,5,0),
(3001,2,305,3,12,1,402,2,2,0,0,1,0,2,0),
(3002,1,304,2,1,2,405,4,3,0,1,1,0,3,0),
(3003,1,308,4,NULL,NULL,403,10,10,0,0,10,0,10,0),
(3004,1,305,3,12,1,402,1,1,1,0,0,0,1,0)

-- 2001 audited (16), open, from application 3001.    2002 audited, closed header, KWD.
-- 2003 audited; its supplier 999 and currency 9 do not exist.
-- 2004 not fully audited (4).                         2005 audited, without lines.
INSERT INTO AA_AssetsProcurement (FID,FBillNo,FDate,FSupplyID,FCurrencyID,FProcurementID,FEmployeeID,FCloseStatus,FMultiCheckStatus) VALUES
(2001,N'ZCCG000001','2024-01-05',402,1,104,202,0,16),
(2002,N'ZCCG000002','2024-02-10',403,2,102,203,1,16),
(2003,N'ZCCG000003','2024-03-15',999,9,105,204,0,16),
(2004,N'ZCCG000004','2024-03-20',405,4,104,202,0,4),
(2005,N'ZCCG000005','2024-04-01',402,1,104,202,0,16)

-- 2002/1 was never executed (NULL execution columns) and was closed by hand.
-- 2003/1 names a missing item 999, auxiliary property 899 and unit 99, has no
-- delivery date, and is fully done and settled. 2003/2 is an item without precisions.
INSERT INTO AA_AssetsProcurementEntry (FID,FEntryID,FItemID,FItemAuxPropertyID,FUnitID,FDeliveryDate,FQty,FRealTaxPrice,FTotalAmt,FTotalAmtFor,FAuxRelateQty,FAcceptQty,FInvoiceQty,FReceiveRelateAmt,FCloseStatus,FHandCloseStatus,FID_SRC,FEntryID_SRC,FClassID_SRC,FBillNo_SRC) VALUES
(2001,1,303,801,1,'2024-01-20',5,5650,28250,28250,5,5,2,11300,1,0,3001,1,1200001,N'ZCSQ000001'),
(2001,2,305,NULL,3,'2024-01-25',2,1130,2260,2260,1,1,0,0,0,0,3001,2,1200001,N'ZCSQ000001'),
(2002,1,308,802,4,'2024-02-28',10,28.815,2881.5,288.15,NULL,NULL,NULL,NULL,1,1,3003,1,1200001,N'ZCSQ000003'),
(2003,1,999,899,99,NULL,1,100,100,100,1,1,1,100,1,0,0,0,0,N''),
(2003,2,307,NULL,2,'2024-04-10',4,800,3200,3200,4,2,0,1000,0,0,0,0,0,N''),
(2004,1,304,NULL,1,'2024-03-25',1,4520,4520,4520,0,0,0,0,0,0,0,0,0,N'')

-- Order line 2001/2 is inspected; 2001/1 is accepted directly, 2001/2 through its inspection.
INSERT INTO AA_AssetsInspec (FID,FBillNo) VALUES
(4001,N'ZCJY000001')

INSERT INTO AA_AssetsInspecEntry (FID,FEntryID,FID_SRC,FEntryID_SRC,FClassID_SRC,FBillNo_SRC) VALUES
(4001,1,2001,2,1200002,N'ZCCG000001')

INSERT INTO AA_AssetsAcceptance (FID,FBillNo) VALUES
(5001,N'ZCYS000001')

INSERT INTO AA_AssetsAcceptanceEntry (FID,FEntryID,FID_SRC,FEntryID_SRC,FClassID_SRC,FBillNo_SRC) VALUES
(5001,1,2001,1,1200002,N'ZCCG000001'),
(5001,2,4001,1,1200003,N'ZCJY000001')

-- Requisitions: 6001 (to fixed assets) from acceptance 5001/1 (application 3001/1 through
-- an order); 6002 (construction in progress, not fully audited) from acceptance 5001/2
-- (3001/2 through an order and an inspection); 6003 (low-value consumables, from the
-- warehouse) has one line issued against application 3002/1 directly and one without a
-- source; 6004 is issued against two applications directly, 3001/1 (which 6001 also reaches,
-- through an order) and 3004/1. 6005 and 6006 have no application source. 6005 (to fixed assets, in the check) was
-- entered by user 99, who is no longer in t_User; its line is of item 309, which has no
-- secondary unit, names no warehouse or bin and has no downstream record at all. 6006 has
-- no purpose; its line is of item 307 (no precisions) from supplier 999, which does not exist.
INSERT INTO CIP_AssetsApplication (FID,FBillNo,FDate,FMultiCheckStatus,FSourceID,FProjectID,FApplyDeptID,FApplyID,FPurposeID,FCheckerID,FCheckDate,FBiller,FNote) VALUES
(6001,N'ZCLY000001','2024-01-28',16,2,651,104,202,2,1,'2024-01-29',2,N'领用'),
(6002,N'ZCLY000002','2024-02-05',4,2,651,104,203,1,0,NULL,1,N''),
(6003,N'ZCLY000003','2024-02-20',16,1,NULL,105,204,3,3,'2024-02-21',3,N'O''Hara note'),
(6004,N'ZCLY000004','2024-03-05',16,1,NULL,102,202,2,1,'2024-03-06',1,N'仓库领用'),
(6005,N'ZCLY000005','2024-03-18',8,2,651,104,204,2,0,NULL,99,N''),
(6006,N'ZCLY000006','2024-03-25',16,1,NULL,102,203,NULL,2,'2024-03-26',2,N'')

INSERT INTO CIP_AssetsApplicationEntry (FID,FEntryID,FItemID,FUnitID,FSecCoefficient,FAuxQty,FSupplyID,FBatchNo,FStockID,FDcspID,FCheckQty,FPrice,FAmount,FTaxAmt,FCIPQty,FCIPAmount,FCIPTaxAmt,FFAQty,FFAAmount,FFATaxAmt,FLVCQty,FLVCAmount,FLVCTaxAmt,FID_SRC,FEntryID_SRC,FClassID_SRC,FBillNo_SRC) VALUES
(6001,1,303,1,0,0,402,N'B2024-01',901,1,3,5000,15000,1950,0,0,0,3,15000,1950,0,0,0,5001,1,1200004,N'ZCYS000001'),
(6002,1,305,3,12,1,402,NULL,901,1,1,1000,1000,130,1,1000,130,0,0,0,0,0,0,5001,2,1200004,N'ZCYS000001'),
(6003,1,304,2,1,2,405,NULL,901,NULL,2,4000,8000,1040,0,0,0,0,0,0,1,4000,520,3002,1,1200001,N'ZCSQ000002'),
(6003,2,308,4,0,0,403,NULL,901,1,1,30,30,3.9,0,0,0,0,0,0,NULL,NULL,NULL,0,0,0,N''),
(6004,1,303,1,0,0,402,N'B2024-03',901,1,1,5000,5000,650,0,0,0,NULL,NULL,NULL,0,0,0,3001,1,1200001,N'ZCSQ000001'),
(6004,2,305,3,12,1,402,NULL,901,1,1,1000,1000,130,0,0,0,1,1000,130,0,0,0,3004,1,1200001,N'ZCSQ000004'),
(6005,1,309,2,NULL,NULL,406,NULL,NULL,NULL,4,250,1000,130,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,0,0,0,N''),
(6006,1,307,2,1,2,999,N'B2024-06',901,1,2,800,1600,208,1,800,104,NULL,NULL,NULL,NULL,NULL,NULL,0,0,0,N'')
GO

------------------------------------------------------------------------------------
-- Expense invoices and the hook log (report 2010002)
------------------------------------------------------------------------------------

-- 7001 audited (16); 7002 in KWD, partly audited, checker 0; 7003 audited, its
-- supplier 999 and currency 9 do not exist; 7004 in JPY, not yet submitted
-- (status 0, no checker), dated 09:15 on its day, from supplier 406 ("00").
INSERT INTO AA_AssetsExpenseInvoice (FID,FBillNo,FDate,FSupplyID,FCurrencyID,FCheckerID,FMultiCheckStatus) VALUES
(7001,N'ZCFY000001','2024-01-30',402,1,1,16),
(7002,N'ZCFY000002','2024-02-20',403,2,0,4),
(7003,N'ZCFY000003','2024-03-10',999,9,2,16),
(7004,N'ZCFY000004','2024-04-05 09:15:00',406,3,NULL,0)

-- 7001/2 has no unit and no figures; 7002/1's expense type belongs to another code
-- list; 7003/1 names a missing fee and no expense type; 7004/1's fee has no number.
INSERT INTO AA_AssetsExpenseInvoiceEntry (FID,FEntryID,FExpenseID,FExpenseType,FUnit,FQty,FPrice,FAmount,FAmountFor,FTaxRate,FTaxAmt,FTaxAmtFor,FAmtNoTax,FAmtNoTaxFor,FNote) VALUES
(7001,1,502,41101,N'次',1,545,545,545,9,45,45,500,500,N'运费'),
(7001,2,503,41102,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,N''),
(7002,1,502,41201,N'次',2,54.5,1090,109,9,90,9,1000,100,N'海运'),
(7003,1,999,NULL,N'批',1,200,200,200,0,0,0,200,200,N'O''Keefe'),
(7004,1,504,41102,N'套',3,1060,159,3180,6,9,180,150,3000,N''),
(7004,2,502,41101,N'次',1,400,20,400,0,0,0,20,400,N'it''s ok')

-- 7001/1 and 7004/2 are matched in a hook log of type 1, 7002/1 in one of type 2;
-- 7001/2, 7003/1 and 7004/1 have no hook-log entry.
INSERT INTO AA_HookLog (FID,FType) VALUES
(8001,1),
(8002,2)

INSERT INTO AA_HookLogEntry (FID,FEntryID,FClassID_SRC,FID_SRC,FEntryID_SRC) VALUES
(8001,1,1200006,7001,1),
(8001,2,1200006,7004,2),
(8002,1,1200006,7002,1)
GO
