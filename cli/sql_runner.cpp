// The order of one batch's output: a message knows how many result sets came
// before it, an error how many result sets and messages; the printer walks
// both lists and puts every error at its place.
#include "cli/sql_runner.h"

#include <ostream>

#include "cli/interrupt.h"
#include "cli/table_sources.h"

namespace orv::cli {
namespace {

void PrintSqlError(std::ostream& err, const engine::SqlError& error) {
  err << "Msg " << error.number() << ", Level " << error.severity() << ", State " << error.state() << ", Line "
      << error.line() << '\n'
      << error.message() << '\n';
}

}  // namespace

bool SqlRunner::RunBatch(const std::string& batch, int64_t repeat, bool stop_on_error) {
  if (repeat > 1 && writer_ != nullptr) writer_->Message("Beginning execution loop");
  bool all_ran = true;
  int64_t done = 0;
  while (done < repeat) {
    const bool ran = RunOnce(batch);
    all_ran = all_ran && ran;
    ++done;
    if (!ran && stop_on_error) break;
  }
  if (repeat > 1 && writer_ != nullptr) {
    writer_->Message("Batch execution completed " + std::to_string(done) + " times.");
  }
  Flush();
  return all_ran;
}

void SqlRunner::PrintClientError(const std::string& message) {
  Flush();
  err_ << "Error: " << message << '\n';
}

bool SqlRunner::RunOnce(const std::string& batch) {
  engine::BatchResult result;
  {
    const RunningStatement running(session_);
    result = session_.Execute(batch);
  }
  size_t result_sets = 0;
  size_t messages = 0;
  size_t errors = 0;
  const auto print_errors_due = [&] {
    for (; errors < result.errors.size(); ++errors) {
      const engine::BatchError& error = result.errors[errors];
      if (error.result_sets_before > result_sets || error.messages_before > messages) break;
      Flush();
      PrintSqlError(err_, error.error);
    }
  };
  while (result_sets < result.result_sets.size() || messages < result.messages.size()) {
    print_errors_due();
    // A message waits for the result sets sent before it; one without a
    // recorded place follows them all.
    const bool message_next =
        messages < result.messages.size() &&
        (result_sets == result.result_sets.size() ||
         (messages < result.message_result_sets_before.size() &&
          result.message_result_sets_before[messages] <= result_sets));
    if (message_next) {
      if (writer_ != nullptr) writer_->Message(result.messages[messages]);
      ++messages;
    } else {
      if (writer_ != nullptr) writer_->Result(EngineRows(result.result_sets[result_sets]));
      ++result_sets;
    }
  }
  print_errors_due();
  for (; errors < result.errors.size(); ++errors) {
    Flush();
    PrintSqlError(err_, result.errors[errors].error);
  }
  return result.errors.empty();
}

void SqlRunner::Flush() {
  if (out_ != nullptr) out_->flush();
}

}  // namespace orv::cli
