// ALTER TABLE: adding columns, dropping columns and changing one column's
// type and nullability. Constraints added or dropped on their own are
// refused by name.
#include "engine/parser/parser_impl.h"

namespace orv::engine::parse {

using ast::StmtPtr;

StmtPtr Parser::ParseAlterTable() {
  auto stmt = std::make_unique<ast::AlterTableStmt>();
  stmt->line = Line();
  ExpectWord("ALTER");
  ExpectWord("TABLE");
  stmt->table = ParseMultipartName();
  using Action = ast::AlterTableStmt::Action;
  if (AcceptWord("ADD")) {
    stmt->action = Action::AddColumns;
    // The columns are read as a table definition's, so DEFAULT, NULL and the
    // rest mean the same; a key written on one is refused below.
    ast::CreateTableStmt definition;
    do {
      if (AtWord("CONSTRAINT") || AtWord("PRIMARY") || AtWord("UNIQUE") || AtWord("CHECK") || AtWord("FOREIGN")) {
        NotSupported("ALTER TABLE ADD CONSTRAINT");
      }
      ParseColumnDef(definition);
    } while (AcceptOp(","));
    if (!definition.keys.empty()) NotSupported("A key added by ALTER TABLE");
    stmt->columns = std::move(definition.columns);
    if (AtWord("WITH") && AtWord("VALUES", 1)) {
      Advance();
      Advance();
      stmt->with_values = true;
    }
  } else if (AtWord("DROP") && AtWord("COLUMN", 1)) {
    Advance();
    Advance();
    stmt->action = Action::DropColumns;
    if (AtWord("IF") && AtWord("EXISTS", 1)) {
      Advance();
      Advance();
      stmt->if_exists = true;
    }
    do {
      stmt->dropped.push_back(ExpectName());
    } while (AcceptOp(","));
  } else if (AtWord("ALTER") && AtWord("COLUMN", 1)) {
    Advance();
    Advance();
    stmt->action = Action::AlterColumn;
    ast::ColumnDef column;
    column.name = ExpectName();
    column.type = ParseTypeName();
    if (AcceptWord("COLLATE")) column.collation = ExpectName();
    if (AcceptWord("NULL")) {
      column.nullable = 1;
    } else if (AtWord("NOT") && AtWord("NULL", 1)) {
      Advance();
      Advance();
      column.nullable = 0;
    }
    stmt->columns.push_back(std::move(column));
  } else if (AtWord("DROP")) {
    NotSupported("ALTER TABLE DROP CONSTRAINT");
  } else if (Cur().kind == TokenKind::Word) {
    NotSupported("ALTER TABLE " + Upper(Cur()));
  } else {
    SyntaxError();
  }
  return stmt;
}

}  // namespace orv::engine::parse
