
 AND ae.FCloseStatus = 1 And ae.FHandCloseStatus = 0  And aa.FMultiCheckStatus = 16 