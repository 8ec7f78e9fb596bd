
 AND ae.FCloseStatus = 1 And ae.FHandCloseStatus = 1 And aa.FMultiCheckStatus = 16 