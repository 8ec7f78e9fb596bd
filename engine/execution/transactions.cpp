// Transaction statements, statement locks, autocommit and error rollback.
#include "engine/execution/transactions.h"

#include <algorithm>


namespace orv::engine {
namespace {

using Op = ast::TransactionStmt::Op;

void ReleaseWriteLock(Catalog& catalog, SessionState& session) {
  TransactionState& transaction = session.transaction;
  if (!transaction.holds_write_lock) return;
  transaction.holds_write_lock = false;
  if (Durability* durability = catalog.durability()) durability->EndWrite();
  catalog.lock().UnlockExclusive(&session);
}

void EndTransaction(Catalog& catalog, SessionState& session) {
  TransactionState& transaction = session.transaction;
  transaction.journal.Clear();
  transaction.count = 0;
  transaction.name.clear();
  transaction.savepoints.clear();
  transaction.doomed = false;
  ReleaseWriteLock(catalog, session);
}

// Makes the journal's changes durable, then forgets them. A log that cannot be
// written rolls the changes back: COMMIT never reports success it did not reach.
void Commit(Catalog& catalog, SessionState& session) {
  TransactionState& transaction = session.transaction;
  if (Durability* durability = catalog.durability(); durability && !transaction.journal.empty()) {
    std::vector<std::string> redo = transaction.journal.TakeRedoRecords();
    if (!redo.empty()) {
      try {
        durability->Commit(redo);
      } catch (const SqlError&) {
        RollbackTransaction(catalog, session);
        throw;
      }
    }
  }
  EndTransaction(catalog, session);
}

// Errors SQL Server raises while compiling a statement: they end the batch but
// leave an open transaction as it was.
bool IsCompileError(int number) {
  constexpr int kCompile[] = {102, 103, 105, 137, 156, 207, 208, 209, 4104, 50001};
  return std::find(std::begin(kCompile), std::end(kCompile), number) != std::end(kCompile);
}

void RollbackStatement(const ast::TransactionStmt& statement, Catalog& catalog, SessionState& session) {
  TransactionState& transaction = session.transaction;
  if (transaction.count == 0) Throw(ErrorCode::kRollbackWithoutBegin, {}, statement.line);
  // Only the outermost transaction's name rolls everything back; names compare as written.
  if (statement.name.empty() || statement.name == transaction.name) {
    RollbackTransaction(catalog, session);
    return;
  }
  auto found = std::find_if(transaction.savepoints.rbegin(), transaction.savepoints.rend(),
                            [&](const Savepoint& s) { return s.name == statement.name; });
  if (found == transaction.savepoints.rend()) Throw(ErrorCode::kNoSuchSavepoint, {statement.name}, statement.line);
  if (transaction.doomed) Throw(ErrorCode::kUncommittableTransaction, {}, statement.line);
  transaction.journal.UndoTo(found->mark, catalog, session, ChangeJournal::Scope::Transaction);
  // The savepoint itself stays; those set after it are gone.
  transaction.savepoints.erase(found.base(), transaction.savepoints.end());
}

}  // namespace

StatementLock::StatementLock(Catalog& catalog, SessionState& session, bool exclusive)
    : catalog_(catalog), session_(session) {
  if (exclusive) {
    AcquireWriteLock(catalog, session);
    return;
  }
  if (session.transaction.holds_write_lock) return;
  if (!catalog.lock().LockShared(session.transaction.lock_timeout_ms)) Throw(ErrorCode::kLockTimeout);
  shared_ = true;
}

StatementLock::~StatementLock() {
  if (shared_) {
    catalog_.lock().UnlockShared();
  } else if (session_.transaction.count == 0) {
    ReleaseWriteLock(catalog_, session_);
  }
}

void AcquireWriteLock(Catalog& catalog, SessionState& session) {
  TransactionState& transaction = session.transaction;
  if (transaction.holds_write_lock) return;
  if (!catalog.lock().LockExclusive(&session, transaction.lock_timeout_ms)) Throw(ErrorCode::kLockTimeout);
  if (Durability* durability = catalog.durability()) {
    try {
      durability->BeginWrite();
    } catch (...) {
      catalog.lock().UnlockExclusive(&session);
      throw;
    }
  }
  transaction.holds_write_lock = true;
  transaction.journal.set_log_redo(catalog.durability() != nullptr);
}

void RunTransactionStatement(const ast::TransactionStmt& statement, Catalog& catalog, SessionState& session) {
  TransactionState& transaction = session.transaction;
  switch (statement.op) {
    case Op::Begin:
      if (transaction.count == 0) transaction.name = statement.name;
      ++transaction.count;
      return;
    case Op::Commit:
      if (transaction.count == 0) Throw(ErrorCode::kCommitWithoutBegin, {}, statement.line);
      if (transaction.doomed) Throw(ErrorCode::kUncommittableTransaction, {}, statement.line);
      // An inner COMMIT only counts down; its name, if any, is not checked.
      if (transaction.count == 1) {
        Commit(catalog, session);
      } else {
        --transaction.count;
      }
      return;
    case Op::Rollback:
      RollbackStatement(statement, catalog, session);
      return;
    case Op::Save:
      if (transaction.count == 0) Throw(ErrorCode::kSaveWithoutTransaction, {}, statement.line);
      if (transaction.doomed) Throw(ErrorCode::kUncommittableTransaction, {}, statement.line);
      transaction.savepoints.push_back(Savepoint{statement.name, transaction.journal.mark()});
      return;
  }
}

void FinishStatement(Catalog& catalog, SessionState& session) {
  if (session.transaction.count == 0) Commit(catalog, session);
}

bool StatementFailed(SqlError& error, size_t mark, bool in_try, Catalog& catalog, SessionState& session) {
  TransactionState& transaction = session.transaction;
  if (transaction.batch_aborting) return true;  // handled where it was raised
  if (error.undone()) return transaction.xact_abort || !EndsOnlyStatement(error.number());
  error.set_undone();
  transaction.journal.UndoTo(std::min(mark, transaction.journal.mark()), catalog, session,
                              ChangeJournal::Scope::Statement);
  const bool ends_batch = transaction.xact_abort || !EndsOnlyStatement(error.number());
  // A cancel (an attention) ends the batch but leaves the transaction open, as
  // on a server: the client decides, unless XACT_ABORT is on.
  const bool keeps_transaction = IsCompileError(error.number()) || error.number() == 3617;
  if (transaction.count > 0 && (transaction.xact_abort || (ends_batch && !keeps_transaction))) {
    // Inside TRY the CATCH block decides: the transaction stays open but may
    // only be rolled back (XACT_STATE() -1).
    if (in_try) {
      transaction.doomed = true;
    } else {
      RollbackTransaction(catalog, session);
    }
  }
  if (transaction.count == 0) EndTransaction(catalog, session);
  transaction.batch_aborting = ends_batch && !in_try;
  return ends_batch;
}

void RollbackTransaction(Catalog& catalog, SessionState& session) {
  session.transaction.journal.UndoTo(0, catalog, session, ChangeJournal::Scope::Transaction);
  EndTransaction(catalog, session);
}

bool ApplyTransactionOption(const ast::SetOptionStmt& statement, SessionState& session) {
  if (statement.option == "XACT_ABORT") {
    session.transaction.xact_abort = statement.on;
    return true;
  }
  if (statement.option == "LOCK_TIMEOUT") {
    session.transaction.lock_timeout_ms = statement.number < 0 ? -1 : statement.number;
    return true;
  }
  return false;
}

void CheckTransactionCountAfterExecute(const SessionState& session, int count_before, int line) {
  const int now = session.transaction.count;
  if (now != count_before) {
    Throw(ErrorCode::kTransactionCountMismatch, {std::to_string(count_before), std::to_string(now)}, line);
  }
}

}  // namespace orv::engine
