// Database and Session: the public entry points. Execute parses the whole
// batch, then hands its statements one by one to the statement runner; errors
// are returned in the result, never thrown.
#include "engine/engine.h"

#include <atomic>
#include <filesystem>

#include "engine/catalog/catalog.h"
#include "engine/catalog/database_file.h"
#include "engine/catalog/session_state.h"
#include "engine/common/memory_budget.h"
#include "engine/execution/statement_runner.h"
#include "engine/execution/transactions.h"
#include "engine/function/scalar.h"
#include "engine/parser/parser.h"

namespace orv::engine {

Database::Database(std::string name)
    : name_(std::move(name)), catalog_(std::make_unique<Catalog>()), memory_limit_(DefaultMemoryLimit()) {}

std::shared_ptr<Database> Database::Open(const std::string& path, const OpenOptions& options) {
  auto database = std::make_shared<Database>(std::filesystem::path(path).stem().string());
  database->file_ = DatabaseFile::Open(
      path, *database->catalog_, FileOptions{options.create, options.busy_timeout_ms, options.checkpoint_bytes});
  return database;
}

Database::~Database() = default;

Session::Session(std::shared_ptr<Database> database)
    : database_(std::move(database)), state_(std::make_unique<SessionState>(database_->name())) {
  // Session ids start above the ones SQL Server keeps for its own tasks.
  static std::atomic<int> next_spid{51};
  state_->procedural.spid = next_spid.fetch_add(1);
}

// A transaction still open when its connection closes is rolled back, as SQL Server does.
Session::~Session() { RollbackTransaction(database_->catalog(), *state_); }

IsolationLevel Session::isolation_level() const { return state_->isolation; }

bool Session::nocount() const { return state_->nocount; }

BatchResult Session::Execute(std::string_view batch) {
  cancel_.raised.store(false, std::memory_order_relaxed);
  InterruptScope interrupt(cancel_, timeout_);
  BatchResult result;
  {
    // Everything the batch allocates counts, but its results are handed on
    // and freed outside the scope.
    MemoryBudgetScope budget(memory_limit_.value_or(database_->memory_limit()));
    try {
      result = Run(batch);
    } catch (const std::bad_alloc&) {
      // The last resort for memory: the statement fails with 701 and the
      // session stays usable; what the batch held is already released.
      result.AddError(MakeError(ErrorCode::kInsufficientMemory, {"default"}));
    }
  }
  return result;
}

BatchResult Session::Run(std::string_view batch) {
  BatchResult result;
  state_->transaction.batch_aborting = false;
  try {
    ast::Batch parsed = ParseBatch(batch);
    StatementRunner::CheckBatch(parsed);
    StatementRunner runner(database_->catalog(), *state_, result);
    runner.RunBody(parsed.statements);
  } catch (const SqlError& error) {
    result.AddError(error);
  } catch (const std::bad_alloc&) {
    // What ran before the failing statement stays reported.
    result.AddError(MakeError(ErrorCode::kInsufficientMemory, {"default"}));
  } catch (const std::exception& error) {
    // Anything else is an engine fault; report it rather than let it escape.
    result.AddError(MakeError(ErrorCode::kInternal, {error.what()}));
  }
  return result;
}

std::string FormatType(const DataType& type) { return TypeToString(type); }

}  // namespace orv::engine
