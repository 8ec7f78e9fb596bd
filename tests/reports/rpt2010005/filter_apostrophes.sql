
 AND aa.FBillNo>='PO''1' AND tc.FNumber >='01''; DROP TABLE t_ICItem --' And aa.FMultiCheckStatus = 16 