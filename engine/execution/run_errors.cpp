// TRY...CATCH, RAISERROR and THROW. Inside TRY every error of severity 11 or
// more passes control to CATCH, except a name that failed to resolve in the
// same scope, which SQL Server reports when it recompiles the statement and
// which ends the batch; from a procedure or dynamic batch it is caught too.
// RAISERROR of severity 10 or less is a message; above that it is an error
// that, outside TRY, ends only its statement. THROW ends the batch.
#include "engine/catalog/procedural_state.h"
#include "engine/common/errors.h"
#include "engine/execution/nested_error.h"
#include "engine/execution/raiserror_format.h"
#include "engine/execution/statement_runner.h"

namespace orv::engine {
namespace {

constexpr int kUserErrorNumber = 50000;

bool Catchable(const SqlError& error) {
  if (error.number() == 3617) return false;  // a cancel or time-out stops the batch, as an attention does
  if (dynamic_cast<const NestedError*>(&error)) return true;
  const int number = error.number();
  return number != 207 && number != 208 && number != 4104;
}

CaughtError Caught(const SqlError& error, const std::string& procedure) {
  const auto* nested = dynamic_cast<const NestedError*>(&error);
  return CaughtError{error.number(), error.severity(), error.state(), error.line(), error.message(),
                     nested ? nested->procedure() : procedure};
}

// Pops the error of a CATCH block however the block ends.
class Handling {
 public:
  Handling(std::vector<CaughtError>& stack, CaughtError error) : stack_(stack) { stack_.push_back(std::move(error)); }
  ~Handling() { stack_.pop_back(); }
  Handling(const Handling&) = delete;
  Handling& operator=(const Handling&) = delete;

 private:
  std::vector<CaughtError>& stack_;
};

int IntegerOf(const Value& value) { return value.is_null ? 0 : static_cast<int>(value.i); }

}  // namespace

void StatementRunner::RunTryCatch(ast::TryCatchStmt& statement) {
  CaughtError caught;
  ++try_depth_;
  try {
    RunList(statement.try_block);
    --try_depth_;
    return;
  } catch (const SqlError& error) {
    --try_depth_;
    if (error.severity() <= 10 || !Catchable(error)) throw;
    caught = Caught(error, procedure_);
  }
  // The failed statement was undone and, where the error dooms it, the open
  // transaction marked for CATCH to roll back (StatementFailed).
  Handling handling(session_.procedural.handling, std::move(caught));
  RunList(statement.catch_block);
}

void StatementRunner::RunRaiserror(const ast::RaiserrorStmt& statement) {
  StringArena arena;
  const DataType int_type{TypeId::Int};
  const Value message = EvaluateScalar(*statement.message, nullptr, arena);
  int severity = IntegerOf(EvaluateScalar(*statement.severity, &int_type, arena));
  int state = IntegerOf(EvaluateScalar(*statement.state, &int_type, arena));
  std::vector<Value> arguments;
  for (const auto& argument : statement.arguments) arguments.push_back(EvaluateScalar(*argument, nullptr, arena));
  severity = std::clamp(severity, 0, 25);
  if (state < 0) state = 1;
  int number = kUserErrorNumber;
  std::string text;
  if (!message.is_null && IsInteger(message.type)) {
    number = static_cast<int>(message.i);
    if (number < 13000 || number == kUserErrorNumber) {
      Throw(ErrorCode::kRaiserrorNumberInvalid, {std::to_string(number), "13000", "2147483647"}, statement.line);
    }
    // No user messages are ever added (sp_addmessage), so every number is unknown.
    SqlError missing = MakeError(ErrorCode::kMessageNotFound,
                                 {std::to_string(number), std::to_string(severity), std::to_string(state)},
                                 statement.line);
    number = missing.number();
    text = missing.message();
  } else if (!message.is_null && IsString(message.type)) {
    text = AtLine(statement.line, [&] { return FormatRaiserror(message.s(), arguments); });
  } else {
    Throw(ErrorCode::kNotSupported, {"A RAISERROR message that is neither a number nor text"}, statement.line);
  }
  session_.procedural.rowcount = 0;
  if (severity <= 10) {
    result_.AddMessage(std::move(text));
    session_.procedural.error = statement.seterror ? number : 0;
    return;
  }
  SqlError error(number, severity, state, statement.line, std::move(text));
  session_.procedural.error = number;
  if (try_depth_ > 0) throw error;
  result_.AddError(std::move(error));
}

void StatementRunner::RunThrow(const ast::ThrowStmt& statement) {
  if (!statement.number) {
    const std::vector<CaughtError>& handling = session_.procedural.handling;
    // The parser lets a bare THROW stand only inside CATCH.
    if (handling.empty()) Throw(ErrorCode::kRethrowOutsideCatch, {}, statement.line);
    const CaughtError& error = handling.back();
    throw NestedError(SqlError(error.number, error.severity, error.state, error.line, error.message),
                      error.procedure, true);
  }
  StringArena arena;
  const DataType int_type{TypeId::Int};
  const DataType text_type{TypeId::NVarChar, 0, 0, 2048};
  const Value number = EvaluateScalar(*statement.number, &int_type, arena);
  const Value message = EvaluateScalar(*statement.message, &text_type, arena);
  const Value state = EvaluateScalar(*statement.state, &int_type, arena);
  if (number.is_null || number.i < kUserErrorNumber) {
    Throw(ErrorCode::kThrowNumberOutOfRange, {number.is_null ? "NULL" : std::to_string(number.i)}, statement.line);
  }
  const SqlError error(static_cast<int>(number.i), 16, IntegerOf(state), statement.line,
                       message.is_null ? std::string() : std::string(message.s()));
  throw NestedError(error, procedure_, true);
}

}  // namespace orv::engine
