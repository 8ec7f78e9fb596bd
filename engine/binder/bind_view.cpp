// Views in FROM. A query binds a view's text again at every use, one nesting
// level deeper each time (217 past 32, so a chain of views cannot exhaust the
// stack). CREATE VIEW binds only its own text: a view it reads stands there
// by the columns recorded when that view was created, so creating each view
// of a chain costs the same however long the chain, and views that each read
// the previous one twice do not double the work at every step.
#include <algorithm>

#include "engine/binder/binder.h"
#include "engine/common/interrupt.h"
#include "engine/parser/parser.h"

namespace orv::engine {

BoundTableRefPtr Binder::BindView(const ViewDefinition& view, const ast::NamedTableRef& ref, Scope& scope,
                                  size_t offset) {
  const std::string& alias = ref.alias.empty() ? ref.name.back() : ref.alias;
  if (context_.view_definition && !view.shape.empty()) return BindViewShape(view, alias, scope, offset, ref.line);
  NestingScope nested(context_.session.nesting, ref.line);
  CheckInterrupt();
  ast::Batch batch = ParseBatch(view.query_text);
  if (batch.statements.size() != 1 || batch.statements[0]->kind != ast::StmtKind::Select) {
    Throw(ErrorCode::kInternal, {"the text of view " + view.name + " is not one query"}, ref.line);
  }
  const auto& select = static_cast<const ast::SelectStmt&>(*batch.statements[0]);
  try {
    return BindDerived(*select.query, alias, view.columns, scope, offset, ref.line);
  } catch (SqlError& error) {
    // A line of the view's own text means nothing to the batch: the
    // error takes the line of the statement using the view.
    error.set_line(0);
    throw;
  }
}

BoundTableRefPtr Binder::BindViewShape(const ViewDefinition& view, const std::string& alias, Scope& scope,
                                       size_t offset, int line) {
  context_.deepest_view = std::max(context_.deepest_view, view.nesting);
  BoundQuery shape;
  for (const ViewColumn& column : view.shape) {
    shape.columns.push_back(OutputColumn{column.name, column.type, column.nullable, std::nullopt});
  }
  return ExposeDerived(std::move(shape), alias, {}, scope, offset, line);
}

}  // namespace orv::engine
