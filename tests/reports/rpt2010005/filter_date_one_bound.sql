
 AND ( aa.FDate>='2024-03-05' ) AND ( ae.FDeliveryDate<='2024-07-31' ) And aa.FMultiCheckStatus = 16 