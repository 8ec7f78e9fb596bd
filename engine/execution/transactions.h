// Transactions of a session: BEGIN/COMMIT/ROLLBACK/SAVE, the locks statements
// and transactions hold, autocommit, and what an error does to the
// transaction. A statement outside BEGIN TRANSACTION is a transaction of its
// own. Changes go through the session's change journal, so undoing a
// statement, a savepoint or a whole transaction is one walk back through it.
//
// Isolation: a statement that only reads holds the database's lock shared for
// its run; one that changes a base table holds it exclusively, and inside a
// transaction keeps it until COMMIT or ROLLBACK, so other sessions never see
// uncommitted rows (they wait, or fail with 1222 past SET LOCK_TIMEOUT).
#pragma once

#include "engine/catalog/catalog.h"
#include "engine/catalog/session_state.h"
#include "engine/common/errors.h"
#include "engine/parser/ast.h"

namespace orv::engine {

// The lock one statement runs under; raises 1222 when the wait times out.
class StatementLock {
 public:
  StatementLock(Catalog& catalog, SessionState& session, bool exclusive);
  ~StatementLock();
  StatementLock(const StatementLock&) = delete;
  StatementLock& operator=(const StatementLock&) = delete;

 private:
  Catalog& catalog_;
  SessionState& session_;
  bool shared_ = false;
};

// Takes the exclusive lock for `session` unless it holds it (and the file's
// write lock when the database lives in a file).
void AcquireWriteLock(Catalog& catalog, SessionState& session);

void RunTransactionStatement(const ast::TransactionStmt& statement, Catalog& catalog, SessionState& session);

// After a statement succeeded: outside a transaction its changes commit now.
void FinishStatement(Catalog& catalog, SessionState& session);

// After a statement failed: undoes it back to `mark`, rolls the transaction
// back when XACT_ABORT is on or the error ends the batch (names that fail to
// resolve excepted, as in SQL Server), and returns whether the batch ends.
// Inside TRY (`in_try`) such a transaction is doomed instead, for CATCH to
// roll back. An error already undone where it was raised is not undone again.
bool StatementFailed(SqlError& error, size_t mark, bool in_try, Catalog& catalog, SessionState& session);

// ROLLBACK of everything: the outermost transaction, or a session that closes.
void RollbackTransaction(Catalog& catalog, SessionState& session);

// SET XACT_ABORT and SET LOCK_TIMEOUT; false for any other option.
bool ApplyTransactionOption(const ast::SetOptionStmt& statement, SessionState& session);

// For EXEC: raises 266 when a procedure left @@TRANCOUNT other than it found it.
void CheckTransactionCountAfterExecute(const SessionState& session, int count_before, int line);

}  // namespace orv::engine
