// Procedural statements: DECLARE, SET @v, SELECT @v = ..., PRINT, WHILE,
// BREAK/CONTINUE, RETURN, TRY...CATCH, RAISERROR, THROW, CREATE/ALTER
// PROCEDURE and EXEC. Variables are checked against the declarations written
// before them, so an undeclared one stops the batch before it runs (137).
#include <algorithm>
#include <optional>

#include "engine/common/ascii.h"
#include "engine/parser/parser_impl.h"

namespace orv::engine::parse {

using ast::StmtPtr;

namespace {

template <typename T>
std::unique_ptr<T> Make(int line) {
  auto stmt = std::make_unique<T>();
  stmt->line = line;
  return stmt;
}

// The operators of SET @v op= value.
std::optional<ast::BinaryOp> CompoundOperator(std::string_view op) {
  static constexpr std::pair<std::string_view, ast::BinaryOp> kOps[] = {
      {"+", ast::BinaryOp::Add},      {"-", ast::BinaryOp::Subtract}, {"*", ast::BinaryOp::Multiply},
      {"/", ast::BinaryOp::Divide},   {"%", ast::BinaryOp::Modulo},   {"&", ast::BinaryOp::BitAnd},
      {"|", ast::BinaryOp::BitOr},    {"^", ast::BinaryOp::BitXor},
  };
  for (const auto& [text, code] : kOps) {
    if (text == op) return code;
  }
  return std::nullopt;
}

}  // namespace

void Parser::DeclareVariable(const std::string& name, int line) {
  if (IsDeclared(name)) Throw(ErrorCode::kVariableAlreadyDeclared, {name}, line);
  declared_.push_back(name);
}

// @@ names are the server's own; the binder knows which exist.
void Parser::CheckDeclared(const std::string& name, int line) const {
  if (!name.starts_with("@@") && !IsDeclared(name)) Throw(ErrorCode::kMustDeclareVariable, {name}, line);
}

bool Parser::IsDeclared(const std::string& name) const {
  return std::any_of(declared_.begin(), declared_.end(),
                     [&](const std::string& known) { return EqualsIgnoreCase(known, name); });
}

StmtPtr Parser::ParseProceduralStatement() {
  const int line = Line();
  if (AtWord("DECLARE")) return ParseDeclare();
  if (AtWord("WHILE")) return ParseWhile();
  if (AtWord("BEGIN") && AtWord("TRY", 1)) return ParseTryCatch();
  if (AtWord("RAISERROR")) return ParseRaiserror();
  if (AtWord("THROW")) return ParseThrow();
  if (AtWord("RETURN")) return ParseReturn();
  if (AtWord("EXEC") || AtWord("EXECUTE")) return ParseExec();
  if (AcceptWord("PRINT")) {
    auto stmt = Make<ast::PrintStmt>(line);
    stmt->value = ParseScalar();
    return stmt;
  }
  if (AtWord("BREAK") || AtWord("CONTINUE")) {
    const bool is_break = AtWord("BREAK");
    if (loops_ == 0) Throw(is_break ? ErrorCode::kBreakOutsideWhile : ErrorCode::kContinueOutsideWhile, {}, line);
    Advance();
    auto stmt = std::make_unique<ast::JumpStmt>(is_break ? ast::StmtKind::Break : ast::StmtKind::Continue);
    stmt->line = line;
    return stmt;
  }
  if (AtWord("CREATE") && AtWord("OR", 1) && AtWord("ALTER", 2) && (AtWord("PROC", 3) || AtWord("PROCEDURE", 3))) {
    Advance();
    Advance();
    Advance();
    return ParseCreateProcedure(line, true, true);
  }
  if ((AtWord("CREATE") || AtWord("ALTER")) && (AtWord("PROC", 1) || AtWord("PROCEDURE", 1))) {
    const bool create = AtWord("CREATE");
    Advance();
    return ParseCreateProcedure(line, create, !create);
  }
  return nullptr;
}

StmtPtr Parser::ParseDeclare() {
  auto stmt = Make<ast::DeclareStmt>(Line());
  ExpectWord("DECLARE");
  do {
    if (Cur().kind != TokenKind::Variable) {
      if (IsName(Cur()) && AtWord("CURSOR", 1)) NotSupported("DECLARE CURSOR");
      SyntaxError();
    }
    ast::DeclareStmt::Variable variable;
    variable.name = Value(Cur());
    const int line = Line();
    Advance();
    AcceptWord("AS");
    if (AtWord("CURSOR")) NotSupported("DECLARE CURSOR");
    if (AcceptWord("TABLE")) {
      variable.table = std::make_unique<ast::CreateTableStmt>();
      variable.table->line = line;
      variable.table->table = {variable.name};
      ParseTableElements(*variable.table);
    } else {
      variable.type = ParseTypeName();
      if (AcceptOp("=")) variable.initial = ParseScalar();
    }
    // The initializer may not read the variable it initializes.
    DeclareVariable(variable.name, line);
    stmt->variables.push_back(std::move(variable));
  } while (AcceptOp(","));
  return stmt;
}

StmtPtr Parser::ParseSetVariable(int line) {
  auto stmt = Make<ast::SetVariableStmt>(line);
  stmt->name = Value(Cur());
  CheckDeclared(stmt->name, line);
  Advance();
  std::optional<ast::BinaryOp> compound;
  if (!AtOp("=") && Cur().kind == TokenKind::Operator && AtOp("=", 1)) {
    compound = CompoundOperator(Value(Cur()));
    if (!compound) SyntaxError();
    Advance();
  }
  ExpectOp("=");
  stmt->value = ParseScalar();
  if (compound) {
    auto current = std::make_unique<ast::VariableExpr>();
    current->name = stmt->name;
    current->line = line;
    auto combined = std::make_unique<ast::BinaryExpr>();
    combined->line = line;
    combined->op = *compound;
    combined->left = std::move(current);
    combined->right = std::move(stmt->value);
    stmt->value = std::move(combined);
  }
  return stmt;
}

void Parser::ParseSelectAssignment(ast::SelectItem& item) {
  item.assign_to = Value(Cur());
  CheckDeclared(item.assign_to, Line());
  Advance();
  ExpectOp("=");
  item.expr = ParseScalar();
}

StmtPtr Parser::ParseWhile() {
  auto stmt = Make<ast::WhileStmt>(Line());
  ExpectWord("WHILE");
  stmt->condition = ParseCondition();
  if (AtEnd()) SyntaxError();
  ++loops_;
  stmt->body = ParseStatement();
  --loops_;
  return stmt;
}

std::vector<StmtPtr> Parser::ParseStatementsUntilEnd(std::string_view closing) {
  std::vector<StmtPtr> statements;
  while (true) {
    if (AcceptOp(";")) continue;
    if (AtEnd()) SyntaxError();
    if (AtWord("END") && AtWord(closing, 1)) break;
    statements.push_back(ParseStatement());
  }
  Advance();
  Advance();
  return statements;
}

StmtPtr Parser::ParseTryCatch() {
  auto stmt = Make<ast::TryCatchStmt>(Line());
  ExpectWord("BEGIN");
  ExpectWord("TRY");
  stmt->try_block = ParseStatementsUntilEnd("TRY");
  // An empty TRY block is a syntax error at its END TRY.
  if (stmt->try_block.empty()) SyntaxErrorAt(pos_ - 2);
  while (AcceptOp(";")) {
  }
  ExpectWord("BEGIN");
  ExpectWord("CATCH");
  ++catches_;
  stmt->catch_block = ParseStatementsUntilEnd("CATCH");
  --catches_;
  return stmt;
}

StmtPtr Parser::ParseRaiserror() {
  auto stmt = Make<ast::RaiserrorStmt>(Line());
  ExpectWord("RAISERROR");
  ExpectOp("(");
  stmt->message = ParseScalar();
  ExpectOp(",");
  stmt->severity = ParseScalar();
  ExpectOp(",");
  stmt->state = ParseScalar();
  while (AcceptOp(",")) stmt->arguments.push_back(ParseScalar());
  ExpectOp(")");
  if (AcceptWord("WITH")) {
    do {
      if (AcceptWord("SETERROR")) {
        stmt->seterror = true;
      } else if (!AcceptWord("LOG") && !AcceptWord("NOWAIT")) {
        SyntaxError();
      }
    } while (AcceptOp(","));
  }
  return stmt;
}

StmtPtr Parser::ParseThrow() {
  auto stmt = Make<ast::ThrowStmt>(Line());
  ExpectWord("THROW");
  const bool bare = AtEnd() || AtOp(";") || (Cur().kind == TokenKind::Word && Cur().reserved);
  if (bare) {
    if (catches_ == 0) Throw(ErrorCode::kRethrowOutsideCatch, {}, stmt->line);
    return stmt;
  }
  stmt->number = ParseScalar();
  ExpectOp(",");
  stmt->message = ParseScalar();
  ExpectOp(",");
  stmt->state = ParseScalar();
  return stmt;
}

StmtPtr Parser::ParseReturn() {
  auto stmt = Make<ast::ReturnStmt>(Line());
  ExpectWord("RETURN");
  const Token& t = Cur();
  const bool has_value = t.kind == TokenKind::Integer || t.kind == TokenKind::Decimal ||
                         t.kind == TokenKind::Float || t.kind == TokenKind::String ||
                         t.kind == TokenKind::NString || t.kind == TokenKind::Variable || AtOp("(") || AtOp("-") ||
                         AtOp("+") || (IsName(t) && AtOp("(", 1)) || AtWord("CASE") || AtWord("NULL");
  if (!has_value) return stmt;
  if (!in_procedure_) Throw(ErrorCode::kReturnValueNotAllowed, {}, stmt->line);
  stmt->value = ParseScalar();
  return stmt;
}

StmtPtr Parser::ParseCreateProcedure(int line, bool create, bool alter) {
  if (statements_started_ != 1 || depth_ != 1) Throw(ErrorCode::kCreateProcedureNotFirst, {}, line);
  auto stmt = Make<ast::CreateProcedureStmt>(line);
  stmt->create = create;
  stmt->alter = alter;
  Advance();  // PROC or PROCEDURE
  stmt->name = ParseMultipartName();
  if (AtOp(";") && Ahead(1).kind == TokenKind::Integer) NotSupported("A numbered procedure");
  declared_.clear();
  const bool parenthesized = AcceptOp("(");
  while (Cur().kind == TokenKind::Variable) {
    ast::ParameterDef parameter;
    parameter.name = Value(Cur());
    DeclareVariable(parameter.name, Line());
    Advance();
    AcceptWord("AS");
    parameter.type = ParseTypeName();
    if (AcceptWord("VARYING")) NotSupported("A cursor parameter");
    if (AcceptOp("=")) parameter.default_value = ParseScalar();
    parameter.output = AcceptWord("OUTPUT") || AcceptWord("OUT");
    if (AtWord("READONLY")) NotSupported("A table-valued parameter");
    stmt->parameters.push_back(std::move(parameter));
    if (!AcceptOp(",")) break;
  }
  if (parenthesized) ExpectOp(")");
  if (AcceptWord("WITH")) {
    do {
      if (AtWord("RECOMPILE") || AtWord("ENCRYPTION")) {
        Advance();
      } else {
        NotSupported("This procedure option");
      }
    } while (AcceptOp(","));
  }
  if (AtWord("FOR") && AtWord("REPLICATION", 1)) NotSupported("FOR REPLICATION");
  ExpectWord("AS");
  // The body runs to the end of the batch.
  in_procedure_ = true;
  while (!AtEnd()) {
    if (AcceptOp(";")) continue;
    stmt->body.push_back(ParseStatement());
  }
  in_procedure_ = false;
  stmt->text = std::string(text_);
  return stmt;
}

// An argument of EXEC: a constant, a variable, or a bare word taken as text
// (EXEC sp_help orders).
ast::ExprPtr Parser::ParseExecValue() {
  if (IsName(Cur()) && !AtOp("(", 1) && !AtOp(".", 1)) {
    auto literal = std::make_unique<ast::LiteralExpr>();
    literal->line = Line();
    literal->literal_type = ast::LiteralExpr::Type::NString;
    literal->text = Value(Cur());
    Advance();
    return literal;
  }
  return ParseScalar();
}

StmtPtr Parser::ParseExec() {
  auto stmt = Make<ast::ExecStmt>(Line());
  Advance();  // EXEC or EXECUTE
  if (AcceptOp("(")) {
    stmt->dynamic_text = ParseScalar();
    ExpectOp(")");
    if (AtWord("AS") || AtWord("AT")) NotSupported("EXEC ... " + Upper(Cur()));
    return stmt;
  }
  if (Cur().kind == TokenKind::Variable && AtOp("=", 1)) {
    stmt->return_status = Value(Cur());
    CheckDeclared(stmt->return_status, Line());
    Advance();
    Advance();
  }
  if (Cur().kind == TokenKind::Variable) NotSupported("EXEC of a procedure named by a variable");
  const int name_line = Line();
  stmt->procedure = ParseMultipartName();
  const Token& t = Cur();
  const bool has_arguments = t.kind == TokenKind::Integer || t.kind == TokenKind::Decimal ||
                             t.kind == TokenKind::Float || t.kind == TokenKind::String ||
                             t.kind == TokenKind::NString || t.kind == TokenKind::Variable || AtOp("-") ||
                             AtOp("+") || AtWord("DEFAULT") || AtWord("NULL") ||
                             (IsName(t) && t.line == name_line && !AtOp("(", 1) && !AtOp(":", 1));
  if (!has_arguments) return stmt;
  do {
    ast::ExecStmt::Argument argument;
    if (Cur().kind == TokenKind::Variable && AtOp("=", 1)) {
      argument.parameter = Value(Cur());
      Advance();
      Advance();
    }
    if (!AcceptWord("DEFAULT")) argument.value = ParseExecValue();
    argument.output = AcceptWord("OUTPUT") || AcceptWord("OUT");
    stmt->arguments.push_back(std::move(argument));
  } while (AcceptOp(","));
  if (AtWord("WITH") && AtWord("RESULT", 1)) NotSupported("WITH RESULT SETS");
  return stmt;
}

}  // namespace orv::engine::parse
