
 And aa.FMultiCheckStatus = 16 