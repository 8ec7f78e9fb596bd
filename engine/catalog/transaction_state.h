// A session's transaction: @@TRANCOUNT, the outermost transaction's name, its
// savepoints (each a mark in the change journal), XACT_ABORT and
// LOCK_TIMEOUT, and whether it holds the database's write lock, which a
// transaction that has changed a base table keeps until it ends.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/catalog/change_journal.h"

namespace orv::engine {

struct Savepoint {
  std::string name;
  size_t mark = 0;
};

struct TransactionState {
  int count = 0;     // @@TRANCOUNT
  std::string name;  // of the outermost BEGIN TRANSACTION; empty when unnamed
  std::vector<Savepoint> savepoints;
  bool xact_abort = false;
  int64_t lock_timeout_ms = -1;  // SET LOCK_TIMEOUT; -1 waits for ever
  bool holds_write_lock = false;
  // XACT_STATE() -1: the transaction may only be rolled back. Set by error
  // handling that goes on after an error under XACT_ABORT (TRY...CATCH).
  bool doomed = false;
  // An error has ended the batch; the statements around the failing one pass
  // it on untouched. Cleared when a batch starts (and by a CATCH that takes it).
  bool batch_aborting = false;
  ChangeJournal journal;
};

// XACT_STATE(): 1 in a transaction that may commit, -1 in a doomed one, 0 outside.
inline int XactState(const TransactionState& transaction) {
  if (transaction.count == 0) return 0;
  return transaction.doomed ? -1 : 1;
}

}  // namespace orv::engine
