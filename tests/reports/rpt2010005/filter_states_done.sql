
 AND (ae.FQty - ae.FAuxRelateQty) <= 0 AND (ae.FQty - ae.FAcceptQty) <= 0 AND (ae.FQty - ae.FInvoiceQty) <= 0 AND (ae.FTotalAmt - ae.FReceiveRelateAmt) <= 0 And aa.FMultiCheckStatus = 16 