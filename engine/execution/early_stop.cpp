// Early stop: a consumer that has its answer throws EnoughRows from its sink;
// the stack of operators feeding it unwinds (each frees what it holds) and
// the call that started the stream catches it. The tag tells nested streams
// apart, so an inner stop never ends an outer one.
#include "engine/execution/executor.h"

namespace orv::engine {
namespace {

struct EnoughRows {
  const void* owner;
};

}  // namespace

void StreamWhile(const PlanNode& plan, ExecContext& context, const EvalRow* outer,
                 const std::function<bool(const Value*)>& sink) {
  const void* owner = &sink;
  auto guarded = [&](const Value* row) {
    if (!sink(row)) throw EnoughRows{owner};
  };
  try {
    StreamPlan(plan, context, outer, guarded);
  } catch (const EnoughRows& stop) {
    if (stop.owner != owner) throw;
  }
}

Relation StreamFirstRows(const PlanNode& plan, ExecContext& context, const EvalRow* outer, size_t limit) {
  Relation out(plan.width);
  if (limit == 0) return out;
  StreamWhile(plan, context, outer, [&](const Value* row) {
    out.AppendRow(row);
    return out.rows < limit;
  });
  return out;
}

}  // namespace orv::engine
