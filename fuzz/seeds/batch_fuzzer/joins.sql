SELECT d.id, x.n FROM (SELECT id, amount * 2 AS a, name AS n FROM t) d LEFT JOIN u x ON x.id = d.id, t z WHERE z.id = d.id AND d.a > 1 AND EXISTS (SELECT 1 FROM u w WHERE w.id = d.id)
SELECT t.id, u.id, SUM(t.amount), (SELECT MAX(w.id) FROM u w WHERE w.id = t.id) FROM t JOIN u ON t.id = u.id GROUP BY t.id, u.id WITH ROLLUP
