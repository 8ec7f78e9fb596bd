
 AND ae.FCloseStatus = 0 And aa.FMultiCheckStatus = 16 