// The engine reports a batch as its result sets, its messages and its errors,
// each error placed by the counts of result sets and messages before it. Row
// counts arrive as "(N rows affected)" messages; a SELECT's count follows its
// own result set, so a count equal to the next result set's rows is taken as
// that SELECT's, and any other as a statement of its own before it.
#include "tds/batch_response.h"

#include <charconv>
#include <optional>

#include "tds/column_codec.h"

namespace orv::tds {
namespace {

std::optional<uint64_t> RowCountOf(const std::string& message) {
  if (message.size() < 2 || message.front() != '(') return std::nullopt;
  uint64_t count = 0;
  const char* end = message.data() + message.size();
  const auto [rest, error] = std::from_chars(message.data() + 1, end, count);
  if (error != std::errc()) return std::nullopt;
  const std::string_view tail(rest, static_cast<size_t>(end - rest));
  if (tail != " rows affected)" && tail != " row affected)") return std::nullopt;
  return count;
}

class BatchWriter {
 public:
  BatchWriter(ResponseStream& stream, const BatchContext& context, const engine::BatchResult& result)
      : stream_(stream), context_(context), result_(result) {}

  // Writes the result sets and messages before the given counts.
  bool WriteUpTo(size_t result_sets, size_t messages) {
    while (result_set_ < result_sets || message_ < messages) {
      if (!stream_.Flush()) return false;
      std::optional<uint64_t> count;
      if (message_ < messages) {
        count = RowCountOf(result_.messages[message_]);
        if (!count) {
          WriteInfo(result_.messages[message_++]);
          continue;
        }
      }
      const bool result_set_next = result_set_ < result_sets;
      if (result_set_next && (!count || *count == result_.result_sets[result_set_].row_count())) {
        if (count) ++message_;
        if (!WriteResultSet(result_.result_sets[result_set_++], count.has_value())) return false;
        continue;
      }
      Done(kDoneMore | kDoneCount, kCurCmdNone, *count);
      ++message_;
    }
    return true;
  }

 private:
  bool WriteResultSet(const engine::ResultSet& rows, bool counted) {
    const std::vector<ColumnEncoder> encoders = EncodersFor(rows);
    PutColMetadata(stream_.out(), stream_.format(), rows, encoders);
    for (size_t row = 0; row < rows.row_count(); ++row) {
      PutRow(stream_.out(), stream_.format(), rows, row, encoders);
      if (!stream_.Flush()) return false;
    }
    Done(static_cast<uint16_t>(kDoneMore | (counted ? kDoneCount : 0)), kCurCmdSelect, rows.row_count());
    return true;
  }

  void WriteInfo(const std::string& text) {
    PutMessage(stream_.out(), stream_.format(), ServerMessage{0, 1, 0, text, context_.server_name, "", 0});
  }

  void Done(uint16_t status, uint16_t cur_cmd, uint64_t rows) {
    stream_.PutDoneToken(context_.statement_done, status, cur_cmd, rows);
  }

  ResponseStream& stream_;
  const BatchContext& context_;
  const engine::BatchResult& result_;
  size_t result_set_ = 0;
  size_t message_ = 0;
};

}  // namespace

void WriteError(ResponseStream& stream, const BatchContext& context, int number, int severity, int state, int line,
                const std::string& text) {
  PutMessage(stream.out(), stream.format(), ServerMessage{number, state, severity, text, context.server_name, "", line});
  stream.PutDoneToken(context.statement_done, kDoneMore | kDoneError, kCurCmdNone, 0);
}

void WriteBatchResult(ResponseStream& stream, const BatchContext& context, const engine::BatchResult& result) {
  BatchWriter writer(stream, context, result);
  for (const engine::BatchError& placed : result.errors) {
    if (!writer.WriteUpTo(placed.result_sets_before, placed.messages_before)) return;
    const engine::SqlError& error = placed.error;
    WriteError(stream, context, error.number(), error.severity(), error.state(), error.line(), error.message());
  }
  writer.WriteUpTo(result.result_sets.size(), result.messages.size());
}

}  // namespace orv::tds
