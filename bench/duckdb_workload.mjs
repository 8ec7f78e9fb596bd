// Times the report workload on an in-memory DuckDB, one thread, for bench/compare-engines.
//   node duckdb_workload.mjs DATA_DIR RUNS
// DATA_DIR is what bench_dump_workload writes (COPY text files, schema and each operation's SQL
// in PostgreSQL's dialect, which DuckDB reads but for the temporary schema's name). Prints
// "op NUMBER BEST_SECONDS" per operation (untimed setup, one warm-up, then the best of RUNS)
// and "memory BYTES" for the loaded documents table.
import { readFileSync } from 'node:fs';
import { performance } from 'node:perf_hooks';
import { DuckDBInstance, version } from '@duckdb/node-api';

const [dir, runsText = '3'] = process.argv.slice(2);
const runs = Math.max(1, Number(runsText));
const read = (name) => readFileSync(`${dir}/${name}`, 'utf8').replaceAll('pg_temp.', 'temp.');

const instance = await DuckDBInstance.create(':memory:', { threads: '1' });
const connection = await instance.connect();
const run = async (sql) => { await connection.run(sql); };
const scalar = async (sql) => (await connection.runAndReadAll(sql)).getRows()[0][0];

process.stderr.write(`DuckDB ${version()}, one thread: loading\n`);
await run(read('schema.sql'));
for (const table of ['BenchItem', 'BenchSupplier', 'BenchDept', 'BenchDoc']) {
  // COPY's text format: tab-separated, \N for NULL, no quoting.
  await run(`COPY ${table} FROM '${dir}/${table}.tsv' (DELIMITER '\t', HEADER false, NULL '\\N', QUOTE '', ESCAPE '')`);
}
console.log(`memory ${await scalar(
  "SELECT SUM(memory_usage_bytes) FROM duckdb_memory() WHERE tag = 'IN_MEMORY_TABLE'")}`);

for (const line of readFileSync(`${dir}/operations.tsv`, 'utf8').trim().split('\n')) {
  const [number, , name] = line.split('\t');
  process.stderr.write(`DuckDB: ${name}\n`);
  const setup = read(`${number}.setup.sql`);
  const sql = read(`${number}.sql`);
  let best = Infinity;
  for (let i = 0; i <= runs; ++i) {
    if (setup.trim()) await run(setup);
    const start = performance.now();
    await run(sql);
    const seconds = (performance.now() - start) / 1000;
    if (i > 0) best = Math.min(best, seconds);  // the first run warms up
  }
  console.log(`op ${number} ${best}`);
}
