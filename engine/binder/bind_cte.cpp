// Common table expressions. A WITH list's names are visible to the query
// after it and to the CTEs written later; each reference binds the CTE's
// query again where it is named, as a derived table that sees no outer query.
// A CTE naming itself is recursive: anchor members first, then recursive
// members joined by UNION ALL, which read the rows of the level before.
#include "engine/binder/binder.h"
#include "engine/catalog/names.h"
#include "engine/common/errors.h"

namespace orv::engine {
namespace {

bool TableRefNames(const ast::TableRef& ref, const std::string& name);

// Whether `query`'s FROM clauses (derived tables included) name `name`.
bool QueryNames(const ast::QueryExpr& query, const std::string& name) {
  if (!query.select) return QueryNames(*query.left, name) || QueryNames(*query.right, name);
  return query.select->from && TableRefNames(*query.select->from, name);
}

bool TableRefNames(const ast::TableRef& ref, const std::string& name) {
  switch (ref.kind) {
    case ast::TableRefKind::Named: {
      const auto& named = static_cast<const ast::NamedTableRef&>(ref);
      return named.name.size() == 1 && NamesEqual(named.name[0], name);
    }
    case ast::TableRefKind::Derived:
      return QueryNames(*static_cast<const ast::DerivedTableRef&>(ref).query, name);
    case ast::TableRefKind::Join: {
      const auto& join = static_cast<const ast::JoinTableRef&>(ref);
      return TableRefNames(*join.left, name) || TableRefNames(*join.right, name);
    }
    case ast::TableRefKind::Values:
      break;
  }
  return false;
}

bool HasOuterJoin(const ast::TableRef& ref) {
  if (ref.kind != ast::TableRefKind::Join) return false;
  const auto& join = static_cast<const ast::JoinTableRef&>(ref);
  return join.type == ast::JoinType::Left || join.type == ast::JoinType::Right || join.type == ast::JoinType::Full ||
         HasOuterJoin(*join.left) || HasOuterJoin(*join.right);
}

bool HasAggregate(const std::vector<ast::SelectItem>& items) {
  AggregateKind kind;
  for (const ast::SelectItem& item : items) {
    if (item.expr->kind != ast::ExprKind::Function) continue;
    const auto& call = static_cast<const ast::FunctionExpr&>(*item.expr);
    if (!call.over && (LookupAggregate(call.name, kind) || call.name == "STRING_AGG")) return true;
  }
  return false;
}

// What a recursive member may not hold.
void CheckRecursiveMember(const ast::QueryExpr& member, const std::string& name) {
  if (!member.select) return;
  const ast::SelectCore& core = *member.select;
  if (core.distinct) Throw(ErrorCode::kRecursiveCteDistinct, {name}, member.line);
  if (core.top) Throw(ErrorCode::kRecursiveCteTop, {name}, member.line);
  if (!core.group_by.empty() || core.having || HasAggregate(core.items)) {
    Throw(ErrorCode::kRecursiveCteGrouping, {name}, member.line);
  }
  if (core.from && HasOuterJoin(*core.from)) Throw(ErrorCode::kRecursiveCteOuterJoin, {name}, member.line);
}

// Restores the visible CTEs when a binding ends, however it ends.
class CteLimit {
 public:
  CteLimit(size_t& limit, size_t value) : limit_(limit), saved_(limit) { limit_ = value; }
  ~CteLimit() { limit_ = saved_; }
  CteLimit(const CteLimit&) = delete;
  CteLimit& operator=(const CteLimit&) = delete;

 private:
  size_t& limit_;
  size_t saved_;
};

}  // namespace

BoundQuery Binder::BindWithCtes(const ast::QueryExpr& query, Scope* parent, Scope* enclosing, bool nested) {
  const size_t base = ctes_.size();
  for (const ast::CommonTableExpr& cte : query.ctes) {
    for (size_t i = base; i < ctes_.size(); ++i) {
      if (NamesEqual(ctes_[i].definition->name, cte.name)) Throw(ErrorCode::kCteDuplicateName, {cte.name}, cte.line);
    }
    CteEntry entry;
    entry.definition = &cte;
    ctes_.push_back(std::move(entry));
  }
  struct Pop {
    std::vector<CteEntry>& ctes;
    size_t base;
    ~Pop() { ctes.resize(base, CteEntry{}); }
  } pop{ctes_, base};
  CteLimit limit(cte_limit_, ctes_.size());
  return BindQueryBody(query, parent, enclosing, nested);
}

const Binder::CteEntry* Binder::FindCte(const ast::Name& name) const {
  if (name.size() != 1) return nullptr;
  for (size_t i = cte_limit_; i-- > 0;) {
    if (NamesEqual(ctes_[i].definition->name, name[0])) return &ctes_[i];
  }
  return nullptr;
}

BoundTableRefPtr Binder::BindCteReference(const ast::NamedTableRef& ref, Scope& scope, size_t offset) {
  auto& entry = const_cast<CteEntry&>(*FindCte(ref.name));
  const std::string& name = entry.definition->name;
  const std::string exposed = ref.alias.empty() ? ref.name[0] : ref.alias;
  if (entry.defining) {
    // The CTE named inside its own query: a recursive member's read of the level before.
    if (!entry.working) Throw(ErrorCode::kRecursiveCteInSubquery, {}, ref.line);
    if (++entry.references > 1) Throw(ErrorCode::kRecursiveCteTwoReferences, {name}, ref.line);
    BoundQuery shape;
    shape.columns = entry.working_columns;
    BoundTableRefPtr bound = ExposeDerived(std::move(shape), exposed, {}, scope, offset, ref.line);
    bound->source = BoundWorkingTable{entry.working};
    return bound;
  }
  // CTEs naming each other twice over grow the query exponentially: past a
  // bound the statement is refused rather than bound for ever.
  constexpr size_t kMaxExpansions = 10000;
  if (++cte_expansions_ > kMaxExpansions) Throw(ErrorCode::kQueryTooComplex, {}, ref.line);
  // The CTE's query sees the CTEs written before it, and itself.
  const size_t index = static_cast<size_t>(&entry - ctes_.data());
  CteLimit limit(cte_limit_, index + 1);
  entry.defining = true;
  struct Done {
    bool& defining;
    ~Done() { defining = false; }
  } done{entry.defining};
  BoundQuery bound = BindCteQuery(entry);
  return ExposeDerived(std::move(bound), exposed, entry.definition->columns, scope, offset, ref.line);
}

BoundQuery Binder::BindCteQuery(CteEntry& entry) {
  const ast::QueryExpr& query = *entry.definition->query;
  const std::string& name = entry.definition->name;
  // Recursive members are the right sides along the left spine of the set
  // operations, after the last member that does not name the CTE.
  std::vector<const ast::QueryExpr*> members;
  const ast::QueryExpr* node = &query;
  while (!node->select && QueryNames(*node->right, name)) {
    if (node->op != ast::SetOp::UnionAll) Throw(ErrorCode::kRecursiveCteNotUnionAll, {name}, node->line);
    members.insert(members.begin(), node->right.get());
    node = node->left.get();
  }
  if (QueryNames(*node, name)) {
    if (members.empty() && node->select) Throw(ErrorCode::kRecursiveCteNotUnionAll, {name}, node->line);
    Throw(ErrorCode::kRecursiveCteNoAnchor, {name}, node->line);
  }
  if (members.empty()) return BindQuery(query, nullptr, nullptr, true);
  if (!query.order_by.empty()) Throw(ErrorCode::kOrderByInDerivedTable, {}, query.line);
  return BindRecursiveCte(entry, *node, members);
}

BoundQuery Binder::BindRecursiveCte(CteEntry& entry, const ast::QueryExpr& anchor_query,
                                    const std::vector<const ast::QueryExpr*>& members) {
  const ast::CommonTableExpr& definition = *entry.definition;
  BoundQuery anchor = BindQuery(anchor_query, nullptr, nullptr, true);
  const size_t width = anchor.columns.size();
  if (!definition.columns.empty() && definition.columns.size() < width) {
    Throw(ErrorCode::kMoreColumnsThanList, {definition.name}, definition.line);
  }
  if (!definition.columns.empty() && definition.columns.size() > width) {
    Throw(ErrorCode::kFewerColumnsThanList, {definition.name}, definition.line);
  }
  std::vector<OutputColumn> columns = anchor.columns;
  for (size_t i = 0; i < width; ++i) {
    if (!definition.columns.empty()) columns[i].name = definition.columns[i];
    if (columns[i].name.empty()) {
      Throw(ErrorCode::kNoColumnName, {std::to_string(i + 1), definition.name}, definition.line);
    }
    columns[i].nullable = true;
    columns[i].identity.reset();
  }
  auto working = std::make_shared<WorkingTable>(WorkingTable{width});
  entry.working = working;
  entry.working_columns = columns;
  struct Done {
    CteEntry& entry;
    ~Done() { entry.working.reset(); }
  } done{entry};

  BoundRecursiveCte cte;
  cte.name = definition.name;
  cte.table = working;
  cte.max_recursion = max_recursion_;
  for (const ast::QueryExpr* member : members) {
    CheckRecursiveMember(*member, definition.name);
    entry.references = 0;
    BoundQuery bound = BindQuery(*member, nullptr, nullptr, true);
    if (bound.columns.size() != width) Throw(ErrorCode::kUnionColumnCount, {}, member->line);
    for (size_t i = 0; i < width; ++i) {
      if (!(bound.columns[i].type == anchor.columns[i].type)) {
        Throw(ErrorCode::kRecursiveCteTypes, {columns[i].name, definition.name}, member->line);
      }
    }
    cte.members.push_back(std::make_unique<BoundQuery>(std::move(bound)));
  }
  cte.anchor = std::make_unique<BoundQuery>(std::move(anchor));

  // A SELECT of every column of the CTE's rows.
  BoundQuery result;
  BoundSelect select;
  select.from = std::make_unique<BoundTableRef>();
  select.from->width = width;
  select.from->source = std::move(cte);
  for (size_t i = 0; i < width; ++i) {
    select.items.push_back(MakeColumn(static_cast<int>(i), columns[i].type, true, columns[i].name));
  }
  result.columns = std::move(columns);
  result.body = std::move(select);
  return result;
}

}  // namespace orv::engine
