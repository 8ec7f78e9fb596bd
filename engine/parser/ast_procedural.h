// Syntax tree of the procedural statements: variables, PRINT, control flow,
// TRY...CATCH, RAISERROR/THROW, and procedures (CREATE PROCEDURE, EXEC; DROP
// PROCEDURE is a DropTableStmt).
// Included at the end of ast.h, whose Stmt and Expr these build on.
#pragma once

namespace orv::engine::ast {

// DECLARE @a INT = 1, @b VARCHAR(10), @t TABLE (...)
struct DeclareStmt : Stmt {
  DeclareStmt() : Stmt(StmtKind::Declare) {}
  struct Variable {
    std::string name;  // with its @
    TypeName type;
    ExprPtr initial;  // may be null
    std::unique_ptr<CreateTableStmt> table;  // set for a table variable
  };
  std::vector<Variable> variables;
};

// SET @v = expr; the compound SET @v += x arrives as SET @v = @v + x.
struct SetVariableStmt : Stmt {
  SetVariableStmt() : Stmt(StmtKind::SetVariable) {}
  std::string name;
  ExprPtr value;
};

struct PrintStmt : Stmt {
  PrintStmt() : Stmt(StmtKind::Print) {}
  ExprPtr value;
};

struct WhileStmt : Stmt {
  WhileStmt() : Stmt(StmtKind::While) {}
  ExprPtr condition;
  StmtPtr body;
};

struct JumpStmt : Stmt {  // BREAK, CONTINUE
  explicit JumpStmt(StmtKind k) : Stmt(k) {}
};

struct ReturnStmt : Stmt {
  ReturnStmt() : Stmt(StmtKind::Return) {}
  ExprPtr value;  // may be null
};

struct TryCatchStmt : Stmt {
  TryCatchStmt() : Stmt(StmtKind::TryCatch) {}
  std::vector<StmtPtr> try_block;
  std::vector<StmtPtr> catch_block;  // may be empty
};

// RAISERROR (msg, severity, state [, argument ...]) [WITH option ...]
struct RaiserrorStmt : Stmt {
  RaiserrorStmt() : Stmt(StmtKind::Raiserror) {}
  ExprPtr message;  // a message number or text
  ExprPtr severity;
  ExprPtr state;
  std::vector<ExprPtr> arguments;
  bool seterror = false;
};

// THROW number, message, state; or a bare THROW inside CATCH
struct ThrowStmt : Stmt {
  ThrowStmt() : Stmt(StmtKind::Throw) {}
  ExprPtr number;  // all three null for the bare form
  ExprPtr message;
  ExprPtr state;
};

struct ParameterDef {
  std::string name;  // with its @
  TypeName type;
  ExprPtr default_value;  // may be null
  bool output = false;
};

// CREATE / ALTER / CREATE OR ALTER PROCEDURE. The whole batch text is kept:
// the procedure is parsed again from it when executed, with the lines it had.
struct CreateProcedureStmt : Stmt {
  CreateProcedureStmt() : Stmt(StmtKind::CreateProcedure) {}
  Name name;
  std::vector<ParameterDef> parameters;
  std::vector<StmtPtr> body;
  std::string text;
  bool alter = false;
  bool create = true;  // false for a plain ALTER
};

// EXEC [@rc =] procedure [argument, ...]  or  EXEC (string expression)
struct ExecStmt : Stmt {
  ExecStmt() : Stmt(StmtKind::Exec) {}
  struct Argument {
    std::string parameter;  // "@name" when passed by name; empty when positional
    ExprPtr value;          // null for DEFAULT
    bool output = false;
  };
  std::string return_status;  // the @rc of EXEC @rc = ...; empty when absent
  Name procedure;             // empty for the dynamic form
  std::vector<Argument> arguments;
  ExprPtr dynamic_text;       // EXEC ('...' + @v): the concatenated text
};

// Calls `visit` on each statement directly inside `statement` (the branches
// of IF, the body of WHILE, the statements of a block and of TRY and CATCH).
template <typename Visit>
void ForEachInnerStatement(const Stmt& statement, Visit&& visit) {
  switch (statement.kind) {
    case StmtKind::Block:
      for (const auto& inner : static_cast<const BlockStmt&>(statement).statements) visit(*inner);
      return;
    case StmtKind::If: {
      const auto& branch = static_cast<const IfStmt&>(statement);
      visit(*branch.then_stmt);
      if (branch.else_stmt) visit(*branch.else_stmt);
      return;
    }
    case StmtKind::While:
      visit(*static_cast<const WhileStmt&>(statement).body);
      return;
    case StmtKind::TryCatch: {
      const auto& both = static_cast<const TryCatchStmt&>(statement);
      for (const auto& inner : both.try_block) visit(*inner);
      for (const auto& inner : both.catch_block) visit(*inner);
      return;
    }
    default:
      return;
  }
}

}  // namespace orv::engine::ast
