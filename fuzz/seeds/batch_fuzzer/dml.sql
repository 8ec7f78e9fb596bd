SELECT * INTO #x FROM t WHERE name LIKE N'%张%'
UPDATE x SET amount = amount / 0 FROM #x x
DROP TABLE #x