// The TDS listener's speed through a real client stack (unixODBC + FreeTDS):
// round trips per second of a one-row SELECT, and rows per second of a
// 1,000,000-row SELECT of six columns fetched in blocks of bound columns; and
// the same SELECT through tsql, printing to /dev/null. The listener runs in
// this process on a free loopback port. Rows: ORV_BENCH_ROWS (default 1,000,000).
#include <benchmark/benchmark.h>
#include <sql.h>
#include <sqlext.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "accounts/user_file.h"
#include "engine/engine.h"
#include "tds/server.h"

namespace orv::bench {
namespace {

constexpr const char* kUser = "bench";
constexpr const char* kPassword = "bench-password";

size_t RowCount() {
  const char* text = std::getenv("ORV_BENCH_ROWS");
  return text ? std::strtoull(text, nullptr, 10) : 1000000;
}

void Check(const engine::BatchResult& result) {
  if (const engine::SqlError* error = result.first_error()) throw std::runtime_error(error->message());
}

// t(id, code, name, amount, qty, d): `rows` rows built from a table of the digits.
std::shared_ptr<engine::Database> MakeDatabase(size_t rows) {
  auto database = std::make_shared<engine::Database>("bench");
  engine::Session session(database);
  Check(session.Execute("CREATE TABLE digit (v INT)\nINSERT INTO digit VALUES (0),(1),(2),(3),(4),(5),(6),(7),(8),(9)\n"
                        "CREATE TABLE t (id INT, code VARCHAR(20), name NVARCHAR(30), amount DECIMAL(18,2), qty FLOAT, "
                        "d DATETIME)"));
  Check(session.Execute(
      "INSERT INTO t SELECT n, 'C' + CAST(n AS VARCHAR(10)), N'资产 ' + CAST(n AS NVARCHAR(10)), "
      "CAST(n AS DECIMAL(18,2)) / 100, n * 0.5E0, CAST('2024-01-01' AS DATETIME) + n % 365 "
      "FROM (SELECT a.v + 10 * b.v + 100 * c.v + 1000 * d.v + 10000 * e.v + 100000 * f.v AS n "
      "FROM digit a, digit b, digit c, digit d, digit e, digit f) AS numbers WHERE n < " + std::to_string(rows)));
  return database;
}

struct Listener {
  std::filesystem::path directory;
  std::unique_ptr<accounts::UserDirectory> users;
  tds::ServerConfig config;
  std::unique_ptr<tds::Server> server;

  Listener() {
    directory = std::filesystem::temp_directory_path() / ("orv_bench_tds_" + std::to_string(::getpid()));
    std::filesystem::create_directories(directory);
    accounts::UserFile file;
    file.Add(kUser, kPassword, false);
    file.Save(directory / "users");
    users = std::make_unique<accounts::UserDirectory>(directory / "users");
    config.database = MakeDatabase(RowCount());
    config.database_name = "bench";
    config.users = users.get();
    tds::ListenOptions listen;
    listen.port = 0;
    server = std::make_unique<tds::Server>(config, listen);
    server->Start();
  }
  ~Listener() {
    server->Stop();
    std::filesystem::remove_all(directory);
  }
};

Listener& TheListener() {
  static Listener listener;
  return listener;
}

void OdbcCheck(SQLRETURN rc, SQLSMALLINT type, SQLHANDLE handle) {
  if (SQL_SUCCEEDED(rc) || rc == SQL_NO_DATA) return;
  SQLCHAR state[6] = {};
  SQLCHAR text[512] = {};
  SQLINTEGER native = 0;
  SQLSMALLINT length = 0;
  SQLGetDiagRec(type, handle, 1, state, &native, text, sizeof text, &length);
  throw std::runtime_error(reinterpret_cast<const char*>(text));
}

class OdbcClient {
 public:
  explicit OdbcClient(uint16_t port) {
    SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &environment_);
    SQLSetEnvAttr(environment_, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    SQLAllocHandle(SQL_HANDLE_DBC, environment_, &connection_);
    std::string text = "Driver=FreeTDS;Server=127.0.0.1;Port=" + std::to_string(port) + ";UID=" + kUser + ";PWD=" +
                       kPassword + ";TDS_Version=7.4;ClientCharset=UTF-8;PacketSize=32767";
    OdbcCheck(SQLDriverConnect(connection_, nullptr, reinterpret_cast<SQLCHAR*>(text.data()), SQL_NTS, nullptr, 0,
                               nullptr, SQL_DRIVER_NOPROMPT),
              SQL_HANDLE_DBC, connection_);
    SQLAllocHandle(SQL_HANDLE_STMT, connection_, &statement_);
  }
  ~OdbcClient() {
    SQLFreeHandle(SQL_HANDLE_STMT, statement_);
    SQLDisconnect(connection_);
    SQLFreeHandle(SQL_HANDLE_DBC, connection_);
    SQLFreeHandle(SQL_HANDLE_ENV, environment_);
  }
  SQLHSTMT statement() const { return statement_; }
  void Execute(const char* sql) {
    OdbcCheck(SQLExecDirect(statement_, reinterpret_cast<SQLCHAR*>(const_cast<char*>(sql)), SQL_NTS), SQL_HANDLE_STMT,
              statement_);
  }

 private:
  SQLHENV environment_ = SQL_NULL_HANDLE;
  SQLHDBC connection_ = SQL_NULL_HANDLE;
  SQLHSTMT statement_ = SQL_NULL_HANDLE;
};

void BM_RoundTrip(benchmark::State& state) {
  OdbcClient client(TheListener().server->port());
  SQLINTEGER value = 0;
  SQLLEN indicator = 0;
  for (auto _ : state) {
    client.Execute("SELECT 1");
    SQLBindCol(client.statement(), 1, SQL_C_SLONG, &value, 0, &indicator);
    while (SQLFetch(client.statement()) == SQL_SUCCESS) benchmark::DoNotOptimize(value);
    SQLCloseCursor(client.statement());
  }
  state.counters["round_trips/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_SelectAllRowsOdbc(benchmark::State& state) {
  OdbcClient client(TheListener().server->port());
  constexpr SQLULEN kBlock = 1000;
  struct Columns {
    SQLINTEGER id[kBlock];
    SQLCHAR code[kBlock][24];
    SQLCHAR name[kBlock][96];
    SQLCHAR amount[kBlock][24];
    double qty[kBlock];
    SQL_TIMESTAMP_STRUCT d[kBlock];
    SQLLEN indicators[6][kBlock];
  };
  auto columns = std::make_unique<Columns>();
  size_t rows = 0;
  for (auto _ : state) {
    SQLHSTMT statement = client.statement();
    SQLSetStmtAttr(statement, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(kBlock), 0);
    SQLULEN fetched = 0;
    SQLSetStmtAttr(statement, SQL_ATTR_ROWS_FETCHED_PTR, &fetched, 0);
    client.Execute("SELECT id, code, name, amount, qty, d FROM t");
    SQLBindCol(statement, 1, SQL_C_SLONG, columns->id, 0, columns->indicators[0]);
    SQLBindCol(statement, 2, SQL_C_CHAR, columns->code, 24, columns->indicators[1]);
    SQLBindCol(statement, 3, SQL_C_CHAR, columns->name, 96, columns->indicators[2]);
    SQLBindCol(statement, 4, SQL_C_CHAR, columns->amount, 24, columns->indicators[3]);
    SQLBindCol(statement, 5, SQL_C_DOUBLE, columns->qty, 0, columns->indicators[4]);
    SQLBindCol(statement, 6, SQL_C_TYPE_TIMESTAMP, columns->d, sizeof(SQL_TIMESTAMP_STRUCT), columns->indicators[5]);
    while (SQL_SUCCEEDED(SQLFetch(statement))) rows += fetched;
    SQLCloseCursor(statement);
  }
  if (rows != RowCount() * state.iterations()) state.SkipWithError("the SELECT lost rows");
  state.counters["rows/s"] = benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsRate);
}

void BM_SelectAllRowsTsql(benchmark::State& state) {
  const std::string command = "printf 'SELECT id, code, name, amount, qty, d FROM t\\ngo\\nexit\\n' | tsql -H 127.0.0.1 -p " +
                              std::to_string(TheListener().server->port()) + " -U " + kUser + " -P " + kPassword +
                              " >/dev/null 2>&1";
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) state.SkipWithError("tsql failed");
  }
  state.counters["rows/s"] = benchmark::Counter(static_cast<double>(RowCount() * state.iterations()), benchmark::Counter::kIsRate);
}

BENCHMARK(BM_RoundTrip)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_SelectAllRowsOdbc)->UseRealTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SelectAllRowsTsql)->UseRealTime()->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace orv::bench

BENCHMARK_MAIN();
