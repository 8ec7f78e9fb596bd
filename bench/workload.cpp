// Deterministic data and the six operations of the speed comparison.
#include "bench/workload.h"

#include <cinttypes>
#include <algorithm>
#include <cstdio>

namespace orv::bench {
namespace {

// xorshift64*: the same numbers on every machine and library version.
class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed) {}
  uint64_t Next() {
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    return state_ * 0x2545F4914F6CDD1DULL;
  }
  int64_t Between(int64_t low, int64_t high) { return low + static_cast<int64_t>(Next() % (high - low + 1)); }

 private:
  uint64_t state_;
};

const char* const kWords[] = {"钢材", "电脑", "办公桌", "空调", "叉车", "服务器", "打印机", "车床", "Pump", "Valve"};

struct Document {
  int64_t inter_id, entry_id, item_id, supply_id, dept_id, emp_id;
  std::string qty, price, amount;  // decimal text with 10 decimals
  std::string bill_no, note, date;
  bool note_null;
};

std::string DecimalText(int64_t hundredths) {
  char text[48];
  std::snprintf(text, sizeof text, "%" PRId64 ".%02" PRId64 "00000000", hundredths / 100, hundredths % 100);
  return text;
}

Document MakeDocument(const Workload& workload, Random& random, int64_t i) {
  Document d;
  d.inter_id = i + 1;
  d.entry_id = i % 3 + 1;
  d.item_id = random.Between(1, workload.items());
  d.supply_id = random.Between(1, workload.suppliers());
  d.dept_id = random.Between(1, workload.departments());
  d.emp_id = random.Between(1, 5'000);
  int64_t qty = random.Between(1, 10'000);   // hundredths
  int64_t price = random.Between(100, 500'000);
  d.qty = DecimalText(qty);
  d.price = DecimalText(price);
  d.amount = DecimalText(qty * price / 100);
  char bill[32];
  std::snprintf(bill, sizeof bill, "POINV%08" PRId64, d.inter_id);
  d.bill_no = bill;
  d.note_null = random.Between(0, 9) == 0;
  d.note = std::string(kWords[random.Between(0, 9)]) + "采购备注" + std::to_string(random.Between(1, 999));
  char date[32];
  std::snprintf(date, sizeof date, "2024-%02d-%02d 00:00:00", static_cast<int>(random.Between(1, 12)),
                static_cast<int>(random.Between(1, 28)));
  d.date = date;
  return d;
}

// Item numbers with three levels: 01.02.003.
std::string ItemNumber(int64_t id) {
  char text[32];
  std::snprintf(text, sizeof text, "%02" PRId64 ".%02" PRId64 ".%03" PRId64, id / 10'000 % 100 + 1,
                id / 1'000 % 10 + 1, id % 1'000);
  return text;
}

std::string Quote(const std::string& text) { return "N'" + text + "'"; }

constexpr int kRowsPerInsert = 1000;

// Collects rows into INSERT ... VALUES statements of kRowsPerInsert rows.
class InsertWriter {
 public:
  InsertWriter(std::string head, const std::function<void(const std::string&)>& emit) : head_(std::move(head)), emit_(emit) {}
  ~InsertWriter() { Flush(); }
  void Row(const std::string& values) {
    text_ += rows_ == 0 ? head_ + "\nVALUES " : ",\n";
    text_ += "(" + values + ")";
    if (++rows_ == kRowsPerInsert) Flush();
  }
  void Flush() {
    if (rows_ == 0) return;
    emit_(text_);
    text_.clear();
    rows_ = 0;
  }

 private:
  std::string head_;
  const std::function<void(const std::string&)>& emit_;
  std::string text_;
  int rows_ = 0;
};

constexpr uint64_t kSeed = 20261206;

}  // namespace

void EngineLoadScript(const Workload& workload, const std::function<void(const std::string&)>& emit) {
  emit(
      "CREATE TABLE BenchDoc (FInterID INT NOT NULL, FEntryID INT NOT NULL, FItemID INT, FSupplyID INT, FDeptID INT,"
      " FEmpID INT, FQty DECIMAL(28,10), FPrice DECIMAL(28,10), FAmount DECIMAL(28,10), FBillNo NVARCHAR(30),"
      " FNote NVARCHAR(100) NULL, FDate DATETIME)\n"
      "CREATE TABLE BenchItem (FItemID INT NOT NULL, FNumber NVARCHAR(80), FName NVARCHAR(255))\n"
      "CREATE TABLE BenchSupplier (FItemID INT NOT NULL, FNumber NVARCHAR(80), FName NVARCHAR(255))\n"
      "CREATE TABLE BenchDept (FItemID INT NOT NULL, FNumber NVARCHAR(80), FName NVARCHAR(255))");
  {
    InsertWriter items("INSERT INTO BenchItem (FItemID, FNumber, FName)", emit);
    for (int64_t id = 1; id <= workload.items(); ++id)
      items.Row(std::to_string(id) + "," + Quote(ItemNumber(id)) + "," + Quote(kWords[id % 10] + std::to_string(id)));
  }
  {
    InsertWriter suppliers("INSERT INTO BenchSupplier (FItemID, FNumber, FName)", emit);
    for (int64_t id = 1; id <= workload.suppliers(); ++id)
      suppliers.Row(std::to_string(id) + "," + Quote("S" + std::to_string(id)) + "," + Quote("供应商" + std::to_string(id)));
  }
  {
    InsertWriter depts("INSERT INTO BenchDept (FItemID, FNumber, FName)", emit);
    for (int64_t id = 1; id <= workload.departments(); ++id)
      depts.Row(std::to_string(id) + "," + Quote("D" + std::to_string(id)) + "," + Quote("部门" + std::to_string(id)));
  }
  InsertWriter docs(
      "INSERT INTO BenchDoc (FInterID, FEntryID, FItemID, FSupplyID, FDeptID, FEmpID, FQty, FPrice, FAmount, FBillNo,"
      " FNote, FDate)",
      emit);
  Random random(kSeed);
  for (int64_t i = 0; i < workload.documents; ++i) {
    Document d = MakeDocument(workload, random, i);
    docs.Row(std::to_string(d.inter_id) + "," + std::to_string(d.entry_id) + "," + std::to_string(d.item_id) + "," +
             std::to_string(d.supply_id) + "," + std::to_string(d.dept_id) + "," + std::to_string(d.emp_id) + "," +
             d.qty + "," + d.price + "," + d.amount + "," + Quote(d.bill_no) + "," +
             (d.note_null ? std::string("NULL") : Quote(d.note)) + ",'" + d.date + "'");
  }
}

void TextRows(const Workload& workload,
              const std::function<void(const std::string& table, int columns, const TextRow&)>& emit) {
  TextRow row;
  for (int64_t id = 1; id <= workload.items(); ++id) {
    row.texts = {std::to_string(id), ItemNumber(id), kWords[id % 10] + std::to_string(id)};
    emit("BenchItem", 3, row);
  }
  for (int64_t id = 1; id <= workload.suppliers(); ++id) {
    row.texts = {std::to_string(id), "S" + std::to_string(id), "供应商" + std::to_string(id)};
    emit("BenchSupplier", 3, row);
  }
  for (int64_t id = 1; id <= workload.departments(); ++id) {
    row.texts = {std::to_string(id), "D" + std::to_string(id), "部门" + std::to_string(id)};
    emit("BenchDept", 3, row);
  }
  Random random(kSeed);
  for (int64_t i = 0; i < workload.documents; ++i) {
    Document d = MakeDocument(workload, random, i);
    row.texts = {std::to_string(d.inter_id), std::to_string(d.entry_id), std::to_string(d.item_id),
                 std::to_string(d.supply_id), std::to_string(d.dept_id),  std::to_string(d.emp_id),
                 d.qty, d.price, d.amount, d.bill_no, d.note_null ? kNullText : d.note, d.date};
    emit("BenchDoc", 12, row);
  }
}

std::string SqliteSchema() {
  return "CREATE TABLE BenchDoc (FInterID INTEGER NOT NULL, FEntryID INTEGER NOT NULL, FItemID INTEGER, FSupplyID INTEGER,"
         " FDeptID INTEGER, FEmpID INTEGER, FQty REAL, FPrice REAL, FAmount REAL, FBillNo TEXT, FNote TEXT, FDate TEXT);"
         "CREATE TABLE BenchItem (FItemID INTEGER PRIMARY KEY, FNumber TEXT, FName TEXT);"
         "CREATE TABLE BenchSupplier (FItemID INTEGER PRIMARY KEY, FNumber TEXT, FName TEXT);"
         "CREATE TABLE BenchDept (FItemID INTEGER PRIMARY KEY, FNumber TEXT, FName TEXT);";
}

std::string PostgresSchema() {
  return "CREATE TABLE BenchDoc (FInterID INT NOT NULL, FEntryID INT NOT NULL, FItemID INT, FSupplyID INT, FDeptID INT,"
         " FEmpID INT, FQty NUMERIC(28,10), FPrice NUMERIC(28,10), FAmount NUMERIC(28,10), FBillNo VARCHAR(30),"
         " FNote VARCHAR(100), FDate TIMESTAMP);\n"
         "CREATE TABLE BenchItem (FItemID INT PRIMARY KEY, FNumber VARCHAR(80), FName VARCHAR(255));\n"
         "CREATE TABLE BenchSupplier (FItemID INT PRIMARY KEY, FNumber VARCHAR(80), FName VARCHAR(255));\n"
         "CREATE TABLE BenchDept (FItemID INT PRIMARY KEY, FNumber VARCHAR(80), FName VARCHAR(255));\n";
}

std::vector<Operation> Operations(const Workload& workload) {
  const int64_t n = workload.documents;
  std::vector<Operation> operations;
  const std::string sum_where = "SELECT SUM(FAmount) FROM BenchDoc WHERE FQty > 50";
  operations.push_back({.name = "1 scan+filter+SUM",
                        .engine_sql = sum_where,
                        .sqlite_sql = sum_where,
                        .postgres_sql = sum_where,
                        .rows = n,
                        .parallel = true});

  auto rollup = [](const std::string& group_by) {
    return "SELECT COUNT(*), SUM(FAmount) FROM (SELECT FSupplyID, FDeptID, FItemID, SUM(FQty) AS FQty,"
           " SUM(FAmount) AS FAmount FROM BenchDoc GROUP BY " + group_by + ") r";
  };
  operations.push_back(
      {.name = "2 GROUP BY ROLLUP 3 cols",
       .engine_sql = rollup("FSupplyID, FDeptID, FItemID WITH ROLLUP"),
       // SQLite has no ROLLUP: the same four grouping levels as a union.
       .sqlite_sql =
           "SELECT COUNT(*), SUM(FAmount) FROM ("
           "SELECT FSupplyID, FDeptID, FItemID, SUM(FQty) AS FQty, SUM(FAmount) AS FAmount FROM BenchDoc GROUP BY FSupplyID, FDeptID, FItemID"
           " UNION ALL SELECT FSupplyID, FDeptID, NULL, SUM(FQty), SUM(FAmount) FROM BenchDoc GROUP BY FSupplyID, FDeptID"
           " UNION ALL SELECT FSupplyID, NULL, NULL, SUM(FQty), SUM(FAmount) FROM BenchDoc GROUP BY FSupplyID"
           " UNION ALL SELECT NULL, NULL, NULL, SUM(FQty), SUM(FAmount) FROM BenchDoc) r",
       .postgres_sql = rollup("ROLLUP(FSupplyID, FDeptID, FItemID)"),
       .rows = n,
       .parallel = true});

  const std::string join_like =
      "SELECT SUM(d.FAmount) FROM BenchDoc d INNER JOIN BenchItem i ON d.FItemID = i.FItemID WHERE i.FNumber LIKE '01.%'";
  operations.push_back({.name = "3 hash join + LIKE + SUM",
                        .engine_sql = join_like,
                        .sqlite_sql = join_like,
                        .postgres_sql = join_like,
                        .rows = n});

  const std::string ten_columns = "FInterID, FEntryID, FItemID, FSupplyID, FDeptID, FEmpID, FQty, FPrice, FAmount, FDate";
  operations.push_back({.name = "4 SELECT INTO #temp (10 cols)",
                        .engine_setup = "IF OBJECT_ID('tempdb..#t') IS NOT NULL DROP TABLE #t",
                        .engine_sql = "SELECT " + ten_columns + " INTO #t FROM BenchDoc",
                        .sqlite_setup = "DROP TABLE IF EXISTS temp.t",
                        .sqlite_sql = "CREATE TEMP TABLE t AS SELECT " + ten_columns + " FROM BenchDoc",
                        .postgres_setup = "DROP TABLE IF EXISTS pg_temp.t",
                        .postgres_sql = "CREATE TEMP TABLE t AS SELECT " + ten_columns + " FROM BenchDoc",
                        .rows = n,
                        .parallel = true});

  // SQLite spells ISNULL(a,b) as IFNULL(a,b), PostgreSQL as COALESCE(a,b).
  auto detail_select = [](const std::string& isnull) {
    return "SELECT d.FInterID, " + isnull + "(i.FNumber,''), " + isnull + "(i.FName,''), " + isnull + "(s.FName,''), " +
           isnull + "(p.FName,''), d.FAmount FROM BenchDoc d LEFT JOIN BenchItem i ON d.FItemID = i.FItemID"
           " LEFT JOIN BenchSupplier s ON d.FSupplyID = s.FItemID LEFT JOIN BenchDept p ON d.FDeptID = p.FItemID";
  };
  operations.push_back(
      {.name = "5 INSERT SELECT + 3 LEFT JOINs",
       .engine_setup =
           "IF OBJECT_ID('tempdb..#r') IS NOT NULL DROP TABLE #r\n"
           "CREATE TABLE #r (FInterID INT, FItemNumber NVARCHAR(80), FItemName NVARCHAR(255), FSupplyName NVARCHAR(255),"
           " FDeptName NVARCHAR(255), FAmount DECIMAL(28,10))",
       .engine_sql = "INSERT INTO #r " + detail_select("ISNULL"),
       .sqlite_setup = "DROP TABLE IF EXISTS temp.r; CREATE TEMP TABLE r (FInterID INTEGER, FItemNumber TEXT,"
                       " FItemName TEXT, FSupplyName TEXT, FDeptName TEXT, FAmount REAL)",
       .sqlite_sql = "INSERT INTO r " + detail_select("IFNULL"),
       .postgres_setup = "DROP TABLE IF EXISTS pg_temp.r; CREATE TEMP TABLE r (FInterID INT, FItemNumber VARCHAR(80),"
                         " FItemName VARCHAR(255), FSupplyName VARCHAR(255), FDeptName VARCHAR(255), FAmount NUMERIC(28,10))",
       .postgres_sql = "INSERT INTO r " + detail_select("COALESCE"),
       .rows = n,
       .parallel = true});

  const std::string updated = std::to_string(std::min<int64_t>(100'000, n));
  operations.push_back(
      {.name = "6 UPDATE FROM join (100k rows)",
       .engine_setup = "IF OBJECT_ID('tempdb..#u') IS NOT NULL DROP TABLE #u\n"
                       "SELECT FInterID, FItemID, CAST(N'' AS NVARCHAR(255)) AS FItemName INTO #u FROM BenchDoc"
                       " WHERE FInterID <= " + updated,
       .engine_sql = "UPDATE u SET FItemName = i.FName FROM #u u INNER JOIN BenchItem i ON u.FItemID = i.FItemID",
       .sqlite_setup = "DROP TABLE IF EXISTS temp.u; CREATE TEMP TABLE u AS SELECT FInterID, FItemID, '' AS FItemName"
                       " FROM BenchDoc WHERE FInterID <= " + updated,
       .sqlite_sql = "UPDATE u SET FItemName = i.FName FROM BenchItem i WHERE u.FItemID = i.FItemID",
       .postgres_setup = "DROP TABLE IF EXISTS pg_temp.u; CREATE TEMP TABLE u AS SELECT FInterID, FItemID,"
                         " CAST('' AS VARCHAR(255)) AS FItemName FROM BenchDoc WHERE FInterID <= " + updated,
       .postgres_sql = "UPDATE u SET FItemName = i.FName FROM BenchItem i WHERE u.FItemID = i.FItemID",
       .rows = std::min<int64_t>(100'000, n)});
  return operations;
}

int64_t RawDocumentBytes(const Workload& workload) {
  Random random(kSeed);
  int64_t bytes = 0;
  for (int64_t i = 0; i < workload.documents; ++i) {
    Document d = MakeDocument(workload, random, i);
    bytes += 6 * 4 + 3 * 16 + 8 + static_cast<int64_t>(d.bill_no.size()) + (d.note_null ? 0 : static_cast<int64_t>(d.note.size()));
  }
  return bytes;
}

}  // namespace orv::bench
