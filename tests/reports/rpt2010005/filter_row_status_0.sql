
 AND ae.FCloseStatus = 1 And aa.FMultiCheckStatus = 16 