
 AND ( aa.FDate>='2024-01-01' AND aa.FDate<='2024-01-31' ) And aa.FMultiCheckStatus = 16 