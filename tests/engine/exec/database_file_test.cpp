// Databases in files: what is committed survives closing and SIGKILL, damage
// is reported as error 824 and never read as data, and two processes share a
// file with one writer at a time.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>

#include "engine/catalog/block_format.h"
#include "engine/catalog/byte_codec.h"
#include "engine/catalog/redo_codec.h"
#include "engine/engine.h"

namespace orv::engine {
namespace {

namespace fs = std::filesystem;

class DatabaseFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("orv_dbfile_" + std::to_string(::getpid()) + "_" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    path_ = (dir_ / "erp.odb").string();
  }
  void TearDown() override { fs::remove_all(dir_); }

  static void Run(Session& session, const std::string& sql) {
    BatchResult result = session.Execute(sql);
    ASSERT_FALSE(result.first_error()) << sql << ": " << result.first_error()->message();
  }
  static int64_t Number(Session& session, const std::string& sql) {
    BatchResult result = session.Execute(sql);
    EXPECT_FALSE(result.first_error()) << sql << ": " << result.first_error()->message();
    return result.result_sets.at(0).at(0, 0).i;
  }
  int OpenError(const OpenOptions& options = {}) {
    try {
      Database::Open(path_, options);
    } catch (const SqlError& error) {
      return error.number();
    }
    return 0;
  }
  void FlipByte(const std::string& file, std::streamoff offset) {
    std::fstream f(file, std::ios::in | std::ios::out | std::ios::binary);
    f.seekg(offset);
    char c = 0;
    f.read(&c, 1);
    c = static_cast<char>(c ^ 0x20);
    f.seekp(offset);
    f.write(&c, 1);
  }

  fs::path dir_;
  std::string path_;
};

TEST_F(DatabaseFileTest, CommittedWorkSurvivesReopeningRolledBackWorkDoesNot) {
  EXPECT_EQ(OpenError(), 5120);  // no such file, and not asked to create it
  {
    Session session(Database::Open(path_, {.create = true}));
    Run(session,
        "CREATE TABLE t (id INT IDENTITY(1,1) PRIMARY KEY, name NVARCHAR(20), amount DECIMAL(18,4), at DATETIME)\n"
        "INSERT INTO t (name, amount, at) VALUES (N'甲', 1.5, '2024-01-02'), (NULL, -2, NULL), (N'乙', 3, '2024-03-04')");
    Run(session, "CREATE VIEW v AS SELECT name FROM t WHERE amount > 0");
    Run(session, "BEGIN TRAN\nDELETE FROM t WHERE id = 3\nCOMMIT");
    Run(session, "BEGIN TRAN\nUPDATE t SET amount = 99 WHERE id = 1\nROLLBACK");
  }
  Session session(Database::Open(path_));
  // Identity continues after the committed rows (3 was used, then deleted).
  Run(session, "INSERT INTO t (name, amount) VALUES (N'丙', 4)");
  BatchResult rows = session.Execute("SELECT id, name, amount, at FROM t ORDER BY id\nSELECT COUNT(*) FROM v");
  ASSERT_FALSE(rows.first_error());
  const ResultSet& t = rows.result_sets[0];
  ASSERT_EQ(t.row_count(), 3u);
  EXPECT_EQ(FormatValue(t.at(0, 1)), "甲");
  EXPECT_EQ(FormatValue(t.at(0, 2)), "1.5000");
  EXPECT_EQ(FormatValue(t.at(0, 3)), "2024-01-02 00:00:00.000");
  EXPECT_TRUE(t.at(1, 1).is_null);
  EXPECT_EQ(FormatValue(t.at(1, 2)), "-2.0000");
  EXPECT_EQ(t.at(2, 0).i, 4);
  EXPECT_EQ(rows.result_sets[1].at(0, 0).i, 2);
}

// ALTER TABLE and procedures reach the file: through the log (reopened from a
// copy taken before closing, which replays it) and through the checkpoint
// closing writes. Rows inserted after the ALTER have the new width.
TEST_F(DatabaseFileTest, AlteredTablesProceduresAndSettingsSurviveReplayAndCheckpoint) {
  {
    Session session(Database::Open(path_, {.create = true}));
    Run(session, "CREATE TABLE t (gone INT, k INT NOT NULL PRIMARY KEY, amount INT)\nINSERT INTO t VALUES (0, 1, 10), (0, 2, 20)");
    Run(session, "ALTER TABLE t DROP COLUMN gone");
    Run(session, "ALTER TABLE t ADD note VARCHAR(10) NOT NULL DEFAULT 'old'");
    Run(session, "ALTER TABLE t ALTER COLUMN amount DECIMAL(9,2) NULL");
    Run(session, "INSERT INTO t VALUES (3, 30.5, 'new')");
    Run(session, "BEGIN TRAN\nALTER TABLE t ADD never INT NULL\nROLLBACK");
    Run(session, "CREATE PROCEDURE total AS SELECT SUM(amount) FROM t");
    Run(session, "ALTER PROCEDURE total AS SELECT SUM(amount) * 2 FROM t");
    Run(session, "CREATE PROCEDURE doomed AS SELECT 0");
    Run(session, "DROP PROCEDURE doomed");
    Run(session, "ALTER DATABASE SCOPED CONFIGURATION SET MAXDOP = 3");
    // A table variable belongs to its batch: nothing of it reaches the log.
    Run(session, "DECLARE @v TABLE (x INT)\nINSERT INTO @v VALUES (1)\nUPDATE @v SET x = 2\nDELETE FROM @v");
    fs::copy_file(path_, dir_ / "main");
    fs::copy_file(path_ + "-wal", dir_ / "wal");
  }
  auto check = [&](const char* how) {
    Session session(Database::Open(path_));
    BatchResult rows = session.Execute("SELECT k, amount, note FROM t ORDER BY k\nEXEC total");
    ASSERT_FALSE(rows.first_error()) << how << ": " << rows.first_error()->message();
    const ResultSet& t = rows.result_sets[0];
    ASSERT_EQ(t.column_count(), 3u) << how;
    ASSERT_EQ(t.row_count(), 3u) << how;
    EXPECT_EQ(FormatValue(t.at(0, 1)), "10.00") << how;
    EXPECT_EQ(FormatValue(t.at(1, 2)), "old") << how;
    EXPECT_EQ(FormatValue(t.at(2, 1)), "30.50") << how;
    EXPECT_EQ(FormatValue(t.at(2, 2)), "new") << how;
    EXPECT_EQ(FormatValue(rows.result_sets[1].at(0, 0)), "121.00") << how;  // (10 + 20 + 30.5) * 2
    EXPECT_EQ(Number(session, "SELECT value FROM sys.database_scoped_configurations"), 3) << how;
    BatchResult gone = session.Execute("EXEC doomed");
    ASSERT_TRUE(gone.first_error()) << how;
    EXPECT_EQ(gone.first_error()->number(), 2812) << how;
    BatchResult duplicate = session.Execute("INSERT INTO t (k) VALUES (2)");
    ASSERT_TRUE(duplicate.first_error()) << how;
    EXPECT_EQ(duplicate.first_error()->number(), 2627) << how;
  };
  check("from the checkpoint");
  fs::copy_file(dir_ / "main", path_, fs::copy_options::overwrite_existing);
  fs::copy_file(dir_ / "wal", path_ + "-wal", fs::copy_options::overwrite_existing);
  check("from the log");
}

// Two tables over several 65,536-row chunks, with NULLs, repeated text (kept as
// a dictionary), distinct text, decimals and floats, read back value for value.
TEST_F(DatabaseFileTest, EveryKindOfColumnReadsBackAcrossChunks) {
  {
    auto database = Database::Open(path_, {.create = true});
    Session session(database);
    Run(session, "CREATE TABLE digits (d INT)\nINSERT INTO digits VALUES (0),(1),(2),(3),(4),(5),(6),(7),(8),(9)");
    Run(session,
        "CREATE TABLE big (n INT NOT NULL, code VARCHAR(10), name NVARCHAR(20), amount DECIMAL(18,2), f FLOAT, "
        "maybe INT)");
    // n runs over 0..99999, once each.
    Run(session,
        "INSERT INTO big SELECT x.n, 'C' + CAST(x.n % 7 AS VARCHAR(2)), N'N' + CAST(x.n AS NVARCHAR(10)), "
        "CAST(x.n AS DECIMAL(18,2)) / 4, x.n * 0.5, CASE WHEN x.n % 3 = 0 THEN NULL ELSE x.n END "
        "FROM (SELECT a.d + 10 * b.d + 100 * c.d + 1000 * e.d + 10000 * g.d AS n FROM digits a CROSS JOIN digits b "
        "CROSS JOIN digits c CROSS JOIN digits e CROSS JOIN digits g) x");
  }
  auto database = Database::Open(path_);
  // Columns are decoded when first read: two sessions reading them first at
  // once both see every row. n sums to 99999 * 100000 / 2, maybe has 66,666
  // values, the names N0..N99999 are 10 * 2 + 90 * 3 + 900 * 4 + 9000 * 5 +
  // 90000 * 6 = 588,890 characters.
  std::vector<int64_t> totals(2);
  std::vector<std::thread> readers;
  for (int64_t& total : totals) {
    readers.emplace_back([&database, &total] {
      Session reader(database);
      total = Number(reader, "SELECT SUM(CAST(n AS BIGINT)) + COUNT(maybe) + SUM(LEN(name)) FROM big");
    });
  }
  for (std::thread& reader : readers) reader.join();
  EXPECT_EQ(totals, (std::vector<int64_t>{5000605556, 5000605556}));
  Session session(database);
  EXPECT_EQ(Number(session, "SELECT COUNT(*) FROM big"), 100000);
  EXPECT_EQ(Number(session, "SELECT SUM(CAST(n AS BIGINT)) FROM big"), 4999950000);  // 99999 * 100000 / 2
  // Multiples of 3 in 0..99999 are NULL: 33,334 of them.
  EXPECT_EQ(Number(session, "SELECT COUNT(maybe) FROM big"), 66666);
  // A quarter and a half of the sum of n.
  EXPECT_EQ(Number(session, "SELECT CAST(SUM(amount) * 4 AS BIGINT) FROM big"), 4999950000);
  EXPECT_EQ(Number(session, "SELECT CAST(SUM(f) * 2 AS BIGINT) FROM big"), 4999950000);
  EXPECT_EQ(Number(session, "SELECT COUNT(DISTINCT code) FROM big"), 7);
  // n % 7 = 3: 3, 10, ..., 99996, that is (99996 - 3) / 7 + 1.
  EXPECT_EQ(Number(session, "SELECT COUNT(*) FROM big WHERE code = 'C3'"), 14286);
  // A row past the first chunk keeps its own text.
  EXPECT_EQ(Number(session, "SELECT COUNT(*) FROM big WHERE n = 65537 AND name = N'N65537' AND maybe = 65537"), 1);
  EXPECT_EQ(Number(session, "SELECT SUM(d) FROM digits"), 45);
  // Another opener that changes only digits checkpoints on closing: big's
  // columns, which it never read, go into the new file as they were stored.
  {
    Session writer(Database::Open(path_));
    Run(writer, "INSERT INTO digits VALUES (10)");
  }
  Session again(Database::Open(path_));
  EXPECT_EQ(Number(again, "SELECT SUM(CAST(n AS BIGINT)) + COUNT(maybe) + SUM(LEN(name)) FROM big"), 5000605556);
  EXPECT_EQ(Number(again, "SELECT CAST(SUM(amount) * 4 AS BIGINT) + COUNT(DISTINCT code) FROM big"), 4999950007);
  EXPECT_EQ(Number(again, "SELECT SUM(d) FROM digits"), 55);
}

// A text column of six spellings (equal under the collation but for NULL,
// the empty text and kg) loads back coded, a column of distinct texts as a
// view a row; every row keeps its own bytes, and copies of the loaded rows too.
TEST_F(DatabaseFileTest, TextColumnsLoadBackWithEachRowsBytes) {
  const std::vector<std::string> units = {"pcs", "PCS", "pcs ", "", "kg", "NULL"};  // by n % 6
  {
    auto database = Database::Open(path_, {.create = true});
    Session session(database);
    Run(session, "CREATE TABLE digits (d INT)\nINSERT INTO digits VALUES (0),(1),(2),(3),(4),(5),(6),(7),(8),(9)");
    Run(session, "CREATE TABLE lines (n INT NOT NULL, unit NVARCHAR(10), doc NVARCHAR(20))");
    Run(session,
        "INSERT INTO lines SELECT x.n, CASE x.n % 6 WHEN 0 THEN N'pcs' WHEN 1 THEN N'PCS' WHEN 2 THEN N'pcs ' "
        "WHEN 3 THEN N'' WHEN 4 THEN N'kg' END, N'DOC' + CAST(x.n AS NVARCHAR(10)) "
        "FROM (SELECT a.d + 10 * b.d + 100 * c.d + 1000 * e.d + 10000 * g.d AS n FROM digits a CROSS JOIN digits b "
        "CROSS JOIN digits c CROSS JOIN digits e CROSS JOIN digits g) x");
  }
  auto database = Database::Open(path_);
  const std::shared_ptr<Table> lines = database->catalog().FindTable("lines");
  ASSERT_EQ(lines->row_count(), 100000u);
  const Column& unit = lines->column(1);
  const Column& doc = lines->column(2);
  EXPECT_TRUE(unit.coded());
  EXPECT_FALSE(doc.coded());
  size_t wrong = 0;
  for (size_t r = 0; r < lines->row_count(); ++r) {
    const int64_t n = lines->Get(r, 0).i;
    const Value u = unit.Get(r);
    wrong += (u.is_null ? "NULL" : std::string(u.s())) != units[n % 6];
    wrong += doc.Get(r).s() != "DOC" + std::to_string(n);
  }
  EXPECT_EQ(wrong, 0u);
  // The even n copied: per six numbers 6 + 8 + 4 bytes of units (pcs, 'pcs ',
  // kg), 16,666 times, and 6 + 8 for 99996 and 99998.
  Session session(database);
  Run(session, "CREATE TABLE #even (n INT, unit NVARCHAR(10))\nINSERT INTO #even SELECT n, unit FROM lines WHERE n % 2 = 0");
  EXPECT_EQ(Number(session, "SELECT SUM(DATALENGTH(unit)) FROM #even"), 300002);
  EXPECT_EQ(Number(session, "SELECT COUNT(*) FROM #even WHERE unit = N'PCS'"), 33334);  // all three spellings
}

TEST_F(DatabaseFileTest, DamageIsReportedAs824NeverReadAsData) {
  {
    auto database = Database::Open(path_, {.create = true});
    Session session(database);
    Run(session, "CREATE TABLE t (a INT, b VARCHAR(100))");
    for (int i = 0; i < 20; ++i) Run(session, "INSERT INTO t VALUES (" + std::to_string(i) + ", REPLICATE('x', 50))");
  }  // closing checkpoints the log into the file
  const auto size = static_cast<std::streamoff>(fs::file_size(path_));
  fs::copy_file(path_, dir_ / "good");
  FlipByte(path_, size / 2);
  EXPECT_EQ(OpenError(), 824);
  fs::copy_file(dir_ / "good", path_, fs::copy_options::overwrite_existing);
  fs::resize_file(path_, static_cast<uintmax_t>(size - 3));  // torn at the end
  EXPECT_EQ(OpenError(), 824);
  { std::ofstream(path_, std::ios::trunc) << "id,name\n1,not a database\n"; }
  EXPECT_EQ(OpenError(), 824);
}

// A block whose checksum holds but whose contents do not decode (written
// wrong, not damaged on disk) opens, and is 824 whenever its column is read or
// its table changed; the other columns read, nothing is changed.
TEST_F(DatabaseFileTest, AColumnThatDoesNotDecodeIs824EveryTimeItIsRead) {
  {
    auto database = Database::Open(path_, {.create = true});
    Session session(database);
    Run(session, "CREATE TABLE t (a INT, b VARCHAR(10))\nINSERT INTO t VALUES (1, 'x'), (2, 'y'), (3, NULL)");
  }
  std::string bytes;
  {
    std::ifstream in(path_, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    bytes = text.str();
  }
  // After the first line: the head, t.a's chunk, t.b's chunk, the end block.
  std::vector<size_t> blocks;
  for (size_t pos = bytes.find('\n') + 1; pos < bytes.size();) {
    blocks.push_back(pos);
    ASSERT_EQ(CheckBlock(bytes, pos), BlockRead::Ok);
  }
  ASSERT_EQ(blocks.size(), 4u);
  std::string chunk;
  PutBlock(chunk, std::string("\x04\x07", 2), Compression::None);  // row 3 NULL, then a text coding there is none of
  bytes.replace(blocks[2], blocks[3] - blocks[2], chunk);
  { std::ofstream(path_, std::ios::binary | std::ios::trunc) << bytes; }

  Session session(Database::Open(path_));
  EXPECT_EQ(Number(session, "SELECT SUM(a) FROM t"), 6);
  for (const char* sql : {"SELECT b FROM t", "SELECT COUNT(*) FROM t WHERE b = 'x'", "UPDATE t SET a = a + 1"}) {
    BatchResult result = session.Execute(sql);
    ASSERT_TRUE(result.first_error()) << sql;
    EXPECT_EQ(result.first_error()->number(), 824) << sql;
  }
  EXPECT_EQ(Number(session, "SELECT SUM(a) * 10 + COUNT(*) FROM t"), 63);
}

TEST_F(DatabaseFileTest, ATornLastLogBlockIsDroppedDamageBeforeItIs824) {
  {
    auto database = Database::Open(path_, {.create = true});
    Session session(database);
    Run(session, "CREATE TABLE t (a INT)");
    Run(session, "INSERT INTO t VALUES (1)");
    Run(session, "INSERT INTO t VALUES (2)");
    Run(session, "BEGIN TRAN\nUPDATE t SET a = a + 10");  // never committed
    fs::copy_file(path_, dir_ / "main");
    fs::copy_file(path_ + "-wal", dir_ / "wal");
  }
  fs::copy_file(dir_ / "main", path_, fs::copy_options::overwrite_existing);
  const std::string wal = path_ + "-wal";
  fs::copy_file(dir_ / "wal", wal, fs::copy_options::overwrite_existing);
  const auto wal_size = fs::file_size(wal);
  fs::resize_file(wal, wal_size - 2);  // the last commit torn: it was never acknowledged
  {
    Session session(Database::Open(path_));
    EXPECT_EQ(Number(session, "SELECT COUNT(*) * 100 + SUM(a) FROM t"), 101);
  }
  fs::copy_file(dir_ / "main", path_, fs::copy_options::overwrite_existing);
  fs::copy_file(dir_ / "wal", wal, fs::copy_options::overwrite_existing);
  FlipByte(wal, 40);  // inside the first commit, with another after it
  EXPECT_EQ(OpenError(), 824);
}

// A bulk load is logged column by column: replayed after a crash it gives
// back every row, across the log's chunks of 65,536 rows, with its text,
// NULLs, decimals and dates, and its key; torn, it is not there at all.
TEST_F(DatabaseFileTest, ABulkLoadIsReplayedWholeOrNotAtAll) {
  const std::string file = (dir_ / "load.tsv").string();
  {
    std::ofstream out(file, std::ios::binary);
    for (int id = 1; id <= 70000; ++id) {
      out << id << '\t' << (id % 3 == 0 ? "" : "名" + std::to_string(id % 4)) << '\t' << id << ".25\t2024-01-"
          << (id % 28 < 9 ? "0" : "") << 1 + id % 28 << '\n';
    }
  }
  {
    auto database = Database::Open(path_, {.create = true});
    Session session(database);
    Run(session, "CREATE TABLE shipment (id INT NOT NULL PRIMARY KEY, name NVARCHAR(10), price DECIMAL(12,2), d DATE)");
    Run(session, "BULK INSERT shipment FROM '" + file + "'");
    // The files as a crash would leave them: the load in the log, not checkpointed.
    fs::copy_file(path_, dir_ / "main");
    fs::copy_file(path_ + "-wal", dir_ / "wal");
  }
  const std::string wal = path_ + "-wal";
  fs::copy_file(dir_ / "main", path_, fs::copy_options::overwrite_existing);
  fs::copy_file(dir_ / "wal", wal, fs::copy_options::overwrite_existing);
  {
    Session session(Database::Open(path_));
    // ids sum to 70000 * 70001 / 2; each price is its id and a quarter.
    EXPECT_EQ(Number(session, "SELECT SUM(CAST(id AS BIGINT)) FROM shipment"), 2450035000);
    EXPECT_EQ(Number(session, "SELECT CAST(SUM(price) * 4 AS BIGINT) FROM shipment"), 9800210000);
    // Multiples of 3 have no name: 23,333 of them.
    EXPECT_EQ(Number(session, "SELECT COUNT(name) FROM shipment"), 46667);
    // Day 1 when id % 28 = 0: 2,500 rows.
    EXPECT_EQ(Number(session, "SELECT COUNT(*) FROM shipment WHERE d = '2024-01-01'"), 2500);
    // Past the first chunk: 65537 % 4 = 1, 65537 % 28 = 17.
    EXPECT_EQ(Number(session, "SELECT COUNT(*) FROM shipment WHERE id = 65537 AND name = N'名1' AND price = 65537.25 "
                              "AND d = '2024-01-18'"),
              1);
    BatchResult repeated = session.Execute("INSERT INTO shipment VALUES (65537, NULL, NULL, NULL)");
    ASSERT_TRUE(repeated.first_error());
    EXPECT_EQ(repeated.first_error()->number(), 2627);
  }
  fs::copy_file(dir_ / "main", path_, fs::copy_options::overwrite_existing);
  fs::copy_file(dir_ / "wal", wal, fs::copy_options::overwrite_existing);
  fs::resize_file(wal, fs::file_size(wal) - 2);  // the load's commit torn: never acknowledged
  {
    Session session(Database::Open(path_));
    EXPECT_EQ(Number(session, "SELECT COUNT(*) FROM shipment"), 0);
  }
}

// Logs written before appends were logged column by column hold rows value
// by value; a database opened with such a log replays them as they were.
TEST_F(DatabaseFileTest, AnAppendLoggedValueByValueIsStillReplayed) {
  auto database = std::make_shared<Database>("ERPDB");
  Session session(database);
  Run(session, "CREATE TABLE t (id INT NOT NULL PRIMARY KEY, name NVARCHAR(10))");
  ByteWriter record;
  record.U8(1);  // an append of rows
  record.Str("t");
  record.U8(0);  // no identity
  record.U64(0);
  record.Var(2);
  for (const Value& value : {Value::Integer(TypeId::Int, 7), Value::String(TypeId::NVarChar, "seven"),
                             Value::Integer(TypeId::Int, 8), Value::Null(TypeId::NVarChar)}) {
    record.Val(value);
  }
  redo::Apply(record.bytes(), database->catalog());
  EXPECT_EQ(Number(session, "SELECT SUM(id) * 10 + COUNT(name) FROM t WHERE name = N'seven' OR name IS NULL"), 151);
  BatchResult repeated = session.Execute("INSERT INTO t VALUES (8, N'again')");
  ASSERT_TRUE(repeated.first_error());
  EXPECT_EQ(repeated.first_error()->number(), 2627);
}

// A child process writes transactions of three rows each, acknowledging each
// after COMMIT returns, and is killed at a random moment; every acknowledged
// transaction must be there on reopening, and any other one whole or absent.
TEST_F(DatabaseFileTest, SigkillAtRandomPointsLosesNoAcknowledgedTransaction) {
  {
    Session session(Database::Open(path_, {.create = true}));
    Run(session, "CREATE TABLE t (batch INT NOT NULL, part INT NOT NULL, note VARCHAR(40) NULL)");
  }
  std::mt19937 random(20261207);
  int acknowledged = 0;
  for (int round = 0; round < 200; ++round) {
    int channel[2];
    ASSERT_EQ(::pipe(channel), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ::close(channel[0]);
      // Small checkpoints, so kills land in checkpoints too.
      Session session(Database::Open(path_, {.checkpoint_bytes = 4096}));
      BatchResult last = session.Execute("SELECT ISNULL(MAX(batch), 0) FROM t");
      if (last.first_error()) ::_exit(3);
      for (int batch = static_cast<int>(last.result_sets[0].at(0, 0).i) + 1;; ++batch) {
        const std::string n = std::to_string(batch);
        BatchResult done = session.Execute("BEGIN TRAN\nINSERT INTO t VALUES (" + n + ", 1, NULL), (" + n + ", 2, NULL), (" +
                                           n + ", 3, NULL)\nUPDATE t SET note = 'after " + n + "' WHERE batch = " + n +
                                           " - 1\nCOMMIT");
        if (done.first_error() || ::write(channel[1], &batch, sizeof batch) != sizeof batch) ::_exit(4);
      }
    }
    ::close(channel[1]);
    int batch = 0;
    // Every other round lets the writer acknowledge one transaction before the
    // random wait, so the test makes progress however slow the machine is
    // (under a sanitizer, opening alone can outlast the wait); the other
    // rounds may kill it while it opens and recovers.
    if (round % 2 == 1 && ::read(channel[0], &batch, sizeof batch) == sizeof batch) {
      acknowledged = std::max(acknowledged, batch);
    }
    ::usleep(static_cast<useconds_t>(random() % 25000));
    ::kill(child, SIGKILL);
    while (::read(channel[0], &batch, sizeof batch) == sizeof batch) acknowledged = std::max(acknowledged, batch);
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer failed by itself, status " << status;

    Session session(Database::Open(path_));
    BatchResult check = session.Execute(
        "SELECT COUNT(*), ISNULL(MAX(batch), 0) FROM t\n"
        "SELECT COUNT(*) FROM (SELECT batch FROM t GROUP BY batch HAVING COUNT(*) <> 3 OR MIN(part) <> 1 OR MAX(part) <> 3) x\n"
        "SELECT COUNT(*) FROM t a WHERE a.batch < (SELECT MAX(batch) FROM t) AND ISNULL(a.note, '') <> 'after ' + CAST(a.batch + 1 AS VARCHAR(10))");
    ASSERT_FALSE(check.first_error()) << check.first_error()->message();
    const int64_t rows = check.result_sets[0].at(0, 0).i;
    const int64_t highest = check.result_sets[0].at(0, 1).i;
    ASSERT_GE(highest, acknowledged) << "round " << round;
    ASSERT_LE(highest, acknowledged + 1) << "round " << round;  // the one in flight may have committed
    ASSERT_EQ(rows, highest * 3) << "round " << round;
    ASSERT_EQ(check.result_sets[1].at(0, 0).i, 0) << "a transaction half there, round " << round;
    ASSERT_EQ(check.result_sets[2].at(0, 0).i, 0) << "an update apart from its insert, round " << round;
    acknowledged = static_cast<int>(highest);
  }
  EXPECT_GT(acknowledged, 20);
}

// Two processes: while one holds a write transaction open, the other may
// open and read but its write gets "database is locked" after the busy
// time-out; once the first has committed, the second must reopen to write.
TEST_F(DatabaseFileTest, ASecondWriterProcessGetsDatabaseIsLocked) {
  {
    Session session(Database::Open(path_, {.create = true}));
    Run(session, "CREATE TABLE t (a INT)\nINSERT INTO t VALUES (1)");
  }
  int go[2];
  int ready[2];
  ASSERT_EQ(::pipe(go), 0);
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    Session session(Database::Open(path_));
    if (session.Execute("BEGIN TRAN\nINSERT INTO t VALUES (2)").first_error()) ::_exit(3);
    char c = 'r';
    if (::write(ready[1], &c, 1) != 1 || ::read(go[0], &c, 1) != 1) ::_exit(4);
    ::_exit(session.Execute("COMMIT").first_error() ? 5 : 0);
  }
  char c = 0;
  ASSERT_EQ(::read(ready[0], &c, 1), 1);
  auto database = Database::Open(path_, {.busy_timeout_ms = 200});
  Session session(database);
  EXPECT_EQ(Number(session, "SELECT COUNT(*) FROM t"), 1);  // the other's rows are not committed
  BatchResult locked = session.Execute("INSERT INTO t VALUES (3)");
  ASSERT_TRUE(locked.first_error());
  EXPECT_EQ(locked.first_error()->number(), 50010);
  EXPECT_NE(locked.first_error()->message().find("database is locked"), std::string::npos);

  ASSERT_EQ(::write(go[1], &c, 1), 1);
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  BatchResult stale = session.Execute("INSERT INTO t VALUES (3)");
  ASSERT_TRUE(stale.first_error());
  EXPECT_EQ(stale.first_error()->number(), 50012);

  Session fresh(Database::Open(path_));
  Run(fresh, "INSERT INTO t VALUES (3)");
  EXPECT_EQ(Number(fresh, "SELECT SUM(a) FROM t"), 6);
}

}  // namespace
}  // namespace orv::engine
