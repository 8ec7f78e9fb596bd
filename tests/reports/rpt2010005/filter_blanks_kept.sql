
 AND ts.FNumber>=' S 01 ' AND te.FNumber<='E09  ' And aa.FMultiCheckStatus = 16 