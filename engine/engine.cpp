// Database and Session: the public entry points. Execute parses the whole
// batch, then hands its statements one by one to the statement runner; errors
// are returned in the result, never thrown.
#include "engine/engine.h"

#include "engine/catalog/catalog.h"
#include "engine/catalog/session_state.h"
#include "engine/execution/statement_runner.h"
#include "engine/function/scalar.h"
#include "engine/parser/parser.h"

namespace orv::engine {

Database::Database(std::string name) : name_(std::move(name)), catalog_(std::make_unique<Catalog>()) {}

Database::~Database() = default;

Session::Session(std::shared_ptr<Database> database)
    : database_(std::move(database)), state_(std::make_unique<SessionState>(database_->name())) {}

Session::~Session() = default;

IsolationLevel Session::isolation_level() const { return state_->isolation; }

bool Session::nocount() const { return state_->nocount; }

BatchResult Session::Execute(std::string_view batch) {
  BatchResult result;
  int line = 0;
  try {
    ast::Batch parsed = ParseBatch(batch);
    StatementRunner::CheckBatch(parsed);
    StatementRunner runner(database_->catalog(), *state_, result);
    for (auto& statement : parsed.statements) {
      line = statement->line;
      runner.Run(*statement);
    }
  } catch (const SqlError& error) {
    result.AddError(error);
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const std::exception& error) {
    // Anything else is an engine fault; report it rather than let it escape.
    result.AddError(MakeError(ErrorCode::kInternal, {error.what()}, line));
  }
  return result;
}

std::string FormatType(const DataType& type) { return TypeToString(type); }

}  // namespace orv::engine
