// The recursive-descent parser behind ParseBatch: one object per batch, holding
// the tokens and a cursor. Statements, queries, expressions and DDL are parsed
// in their own files; this header is their shared cursor, error and nesting
// machinery.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/common/errors.h"
#include "engine/parser/ast.h"
#include "engine/parser/lexer.h"

namespace orv::engine::parse {

class Parser {
 public:
  explicit Parser(std::string_view text, int first_line = 1);
  ast::Batch ParseBatch();
  // The whole text as one scalar expression.
  ast::ExprPtr ParseWholeScalar();

 private:
  // Nesting a parse may reach; past it SQL Server's error 191 ends the batch
  // instead of the stack. Height bounds the finished tree, which the binder
  // and destructors walk recursively (a chain a+b+c+... is as tall as long).
  static constexpr int kMaxDepth = 400;
  static constexpr int kMaxHeight = 1000;

  class NestGuard {
   public:
    explicit NestGuard(Parser& parser);
    ~NestGuard() { --parser_.depth_; }
    NestGuard(const NestGuard&) = delete;
    NestGuard& operator=(const NestGuard&) = delete;

   private:
    Parser& parser_;
  };

  // ------------------------------------------------------------ cursor (parser.cpp)
  const Token& Cur() const { return tokens_[pos_]; }
  const Token& Ahead(size_t n) const;
  void Advance() {
    if (tokens_[pos_].kind != TokenKind::End) ++pos_;
  }
  bool AtEnd() const { return Cur().kind == TokenKind::End; }
  bool IsWord(const Token& t, std::string_view word) const;
  bool AtWord(std::string_view word, size_t ahead = 0) const { return IsWord(Ahead(ahead), word); }
  bool AtOp(std::string_view op, size_t ahead = 0) const;
  bool AcceptWord(std::string_view word);
  bool AcceptOp(std::string_view op);
  void ExpectWord(std::string_view word);
  void ExpectOp(std::string_view op);
  // A token that can be a name: a quoted name or a word that is not reserved.
  bool IsName(const Token& t) const;
  std::string Value(const Token& t) const { return TokenValue(text_, t); }
  std::string Upper(const Token& t) const;
  std::string ExpectName();
  ast::Name ParseMultipartName();
  // A name that must not be a table variable (what CREATE TABLE, SELECT INTO and CREATE INDEX name).
  ast::Name ParseObjectName();
  int Line() const { return Cur().line; }
  // The text from token `first` to the last token consumed, comments inside included.
  std::string_view SourceText(size_t first) const;
  // Skips a parenthesised list starting at the current '(' (table hints, index options).
  void SkipParenthesized();

  [[noreturn]] void SyntaxError() const { SyntaxErrorAt(pos_); }
  [[noreturn]] void SyntaxErrorAt(size_t index) const;
  [[noreturn]] void NotSupported(std::string_view what) const;
  // Throws 4145 unless `e` is a condition (comparison, AND/OR/NOT, predicate).
  void RequireCondition(const ast::Expr& e) const;
  static bool IsCondition(const ast::Expr& e);

  // Heights: every routine returning an expression, query or table reference
  // leaves that tree's height in height_.
  void Note(int& max_child) const {
    if (height_ > max_child) max_child = height_;
  }
  void SetHeight(int child_height);

  // ------------------------------------------------------------ statements (parse_statement.cpp)
  ast::StmtPtr ParseStatement();
  ast::StmtPtr ParseIf();
  ast::StmtPtr ParseBlock();
  ast::StmtPtr ParseSet();
  // ------------------------------------------------------------ transactions (parse_transaction.cpp)
  bool AtTransactionStatement() const;
  ast::StmtPtr ParseTransaction();
  ast::StmtPtr ParseLockTimeout(int line);
  // ------------------------------------------------------------ BULK INSERT (parse_bulk_insert.cpp)
  ast::StmtPtr ParseBulkInsert();
  ast::StmtPtr ParseInsert();
  void ParseValuesRows(ast::InsertStmt& insert);
  // A literal with a comma or closing parenthesis after it.
  bool AtLoneLiteral() const;
  ast::StmtPtr ParseUpdate();
  ast::StmtPtr ParseDelete();
  ast::StmtPtr ParseTruncate();
  ast::StmtPtr ParseSelectStatement();
  void SkipTableHintsAfterTarget();
  // The tail UPDATE and DELETE share: [FROM ...] [WHERE ...].
  void ParseFromAndWhere(ast::TableRefPtr& from, ast::ExprPtr& where);

  // ------------------------------------------------------------ procedural (parse_procedural.cpp)
  // The procedural statement at the cursor; null when it starts none.
  ast::StmtPtr ParseProceduralStatement();
  ast::StmtPtr ParseDeclare();
  ast::StmtPtr ParseSetVariable(int line);
  ast::StmtPtr ParseWhile();
  ast::StmtPtr ParseTryCatch();
  std::vector<ast::StmtPtr> ParseStatementsUntilEnd(std::string_view closing);
  ast::StmtPtr ParseRaiserror();
  ast::StmtPtr ParseThrow();
  ast::StmtPtr ParseReturn();
  ast::StmtPtr ParseCreateProcedure(int line, bool create, bool alter);
  ast::StmtPtr ParseExec();
  ast::ExprPtr ParseExecValue();
  // Variables are declared from their DECLARE to the end of the batch, in
  // the order written: a use before it is error 137 before anything runs.
  void DeclareVariable(const std::string& name, int line);
  void CheckDeclared(const std::string& name, int line) const;
  bool IsDeclared(const std::string& name) const;
  void ParseSelectAssignment(ast::SelectItem& item);

  // ------------------------------------------------------------ DDL (parse_ddl.cpp)
  ast::StmtPtr ParseCreate();
  ast::StmtPtr ParseCreateTable();
  ast::StmtPtr ParseAlterTable();
  ast::StmtPtr ParseScopedConfiguration();
  void ParseTableElements(ast::CreateTableStmt& table);
  void ParseColumnDef(ast::CreateTableStmt& table);
  void ParseTableConstraint(ast::CreateTableStmt& table);
  void CheckSinglePrimaryKey(const ast::CreateTableStmt& table, int line) const;
  std::vector<std::string> ParseIndexColumns();
  void SkipFileGroupName();
  TypeName ParseTypeName();
  long long ParseSignedInteger();
  ast::StmtPtr ParseCreateView();
  ast::StmtPtr ParseCreateIndex();
  ast::StmtPtr ParseDrop();

  // ------------------------------------------------------------ queries (parse_query.cpp)
  std::unique_ptr<ast::QueryExpr> ParseQueryExpression();
  std::unique_ptr<ast::QueryExpr> ParseQueryUnion();
  std::unique_ptr<ast::QueryExpr> ParseQueryTerm();
  std::unique_ptr<ast::QueryExpr> ParseQueryPrimary();
  std::unique_ptr<ast::QueryExpr> Combine(std::unique_ptr<ast::QueryExpr> left, ast::SetOp op,
                                          std::unique_ptr<ast::QueryExpr> right, int left_height);
  std::unique_ptr<ast::SelectCore> ParseSelectCore();
  ast::SelectItem ParseSelectItem(int& height);
  bool AtQualifiedStar() const;
  std::vector<ast::OrderItem> ParseOrderBy();
  void ParseGroupBy(ast::SelectCore& core, int& height);
  bool AtQueryStart() const;
  // Inside "(": whether a query follows rather than an expression that begins
  // with a parenthesised subquery, as in "((SELECT 1) + 1)".
  bool AtQueryContent() const;

  // ------------------------------------------------------------ query clauses (parse_query_clauses.cpp)
  std::unique_ptr<ast::QueryExpr> ParseWithQuery();
  void ParseOffsetFetch(ast::QueryExpr& query);
  void ParseQueryOptions(ast::QueryExpr& query);
  ast::TableRefPtr ParseValuesTable();

  // ------------------------------------------------------------ windows (parse_window.cpp)
  std::unique_ptr<ast::WindowSpec> ParseWindowSpec();
  ast::WindowFrameBound ParseFrameBound();
  bool ParsePrecedingOrFollowing();

  // ------------------------------------------------------------ GROUP BY (parse_grouping_sets.cpp)
  void ParseGroupingSets(ast::SelectCore& core, int& height);
  std::vector<std::vector<size_t>> ParseGroupingElement(ast::SelectCore& core, int& height, bool nested);
  std::vector<size_t> ParseGroupingColumns(ast::SelectCore& core, int& height);
  bool AtGroupingSetsElement() const;
  void CubeWholeList(ast::SelectCore& core) const;

  // ------------------------------------------------------------ FROM (parse_from.cpp)
  ast::TableRefPtr ParseFromClause();
  ast::TableRefPtr ParseTableSource();
  bool AtJoin() const;
  ast::TableRefPtr ParseJoin(ast::TableRefPtr left, int left_height);
  ast::TableRefPtr ParseApply(ast::TableRefPtr left, int left_height);
  ast::TableRefPtr ParseTablePrimary();
  ast::TableRefPtr ParseDerivedTable();
  void ParseDerivedAlias(std::string& alias, std::vector<std::string>& column_aliases);
  std::vector<std::string> ParseNameList();  // (a, b, ...)
  ast::TableRefPtr ParseNamedTable();
  std::string ParseOptionalAlias();
  bool AtHintList() const;

  // ------------------------------------------------------------ expressions (parse_expr.cpp)
  ast::ExprPtr ParseCondition();          // WHERE, ON, HAVING, WHEN, IF
  ast::ExprPtr ParseConditionOrScalar();  // inside parentheses in a condition
  ast::ExprPtr ParseScalar();             // every value position
  ast::ExprPtr ParseOr(bool scalar_ok);
  ast::ExprPtr ParseAnd(bool scalar_ok);
  ast::ExprPtr ParseLogicalChain(bool scalar_ok, ast::BinaryOp op);
  ast::ExprPtr ParseNot(bool scalar_ok);
  ast::ExprPtr ParsePredicate();
  ast::ExprPtr ParsePredicateTail(ast::ExprPtr left, int height);
  ast::ExprPtr ParseAdditive(bool condition_ok);
  ast::ExprPtr ParseSignedTerm(bool condition_ok);
  ast::ExprPtr ParseMultiplicative(bool condition_ok);
  ast::ExprPtr ParseArithmeticChain(bool condition_ok, bool multiplicative);
  ast::ExprPtr ParseFactor(bool condition_ok);
  ast::ExprPtr ParsePrimary(bool condition_ok);
  ast::ExprPtr ParseParenthesized(bool condition_ok);
  ast::ExprPtr ParseCollate(ast::ExprPtr value);

  // ------------------------------------------------------------ primaries (parse_primary.cpp)
  ast::ExprPtr ParseLiteral();
  ast::ExprPtr ParseNameOrCall();
  ast::ExprPtr ParseFunctionCall(std::string name, int line);
  ast::ExprPtr ParseCase();
  ast::ExprPtr ParseCast();
  ast::ExprPtr ParseConvert();
  ast::ExprPtr ParseIif();
  ast::ExprPtr ParseExists();

  std::string_view text_;
  std::vector<Token> tokens_;
  size_t pos_ = 0;
  int depth_ = 0;
  int height_ = 0;
  size_t statements_started_ = 0;
  std::vector<std::string> declared_;  // variables declared so far
  int loops_ = 0;                      // WHILE bodies the cursor is inside
  int catches_ = 0;                    // CATCH blocks the cursor is inside
  bool in_procedure_ = false;          // parsing a procedure's body: RETURN may carry a value
};

}  // namespace orv::engine::parse
