// Which errors end only their statement. With XACT_ABORT OFF SQL Server undoes
// the failing statement and runs the rest of the batch for constraint
// violations, truncation, a scalar subquery with several rows, DDL on objects
// that exist or do not, and arithmetic errors (ANSI_WARNINGS ON: overflow,
// divide by zero, domain errors). Conversion failures, names that fail to
// resolve when their statement is compiled, and anything not listed here end
// the batch: stopping is never a wrong answer, going on might be.
#include <algorithm>
#include <array>

#include "engine/common/errors.h"

namespace orv::engine {
namespace {

constexpr std::array kStatementOnly = {
    220,   // arithmetic overflow for an integer type
    232,   // arithmetic overflow for float
    512,   // subquery returned more than 1 value
    515,   // NULL into a NOT NULL column
    2601,  // duplicate key in a unique index
    2812,  // EXEC of a procedure that does not exist
    2627,  // duplicate PRIMARY KEY / UNIQUE key
    2628,  // string truncated (verbose form)
    2714,  // object already exists
    3623,  // invalid floating point operation (domain error)
    3701,  // cannot drop an object that does not exist
    4901,  // ALTER TABLE ADD of a NOT NULL column without a default to a table with rows
    4922,  // ALTER TABLE on a column a key or default depends on
    4923,  // ALTER TABLE DROP COLUMN of the only column
    4924,  // ALTER TABLE on a column that does not exist
    3902,  // COMMIT without BEGIN TRANSACTION
    3903,  // ROLLBACK without BEGIN TRANSACTION
    6401,  // no transaction or savepoint of that name
    628,   // SAVE TRANSACTION outside a transaction
    1222,  // lock request timed out
    266,   // transaction count changed across EXECUTE
    8115,  // arithmetic overflow converting a value
    8134,  // divide by zero
    8152,  // string truncated
    15009, // sp_help of an object that does not exist
};

}  // namespace

bool EndsOnlyStatement(int number) {
  return std::find(kStatementOnly.begin(), kStatementOnly.end(), number) != kStatementOnly.end();
}

}  // namespace orv::engine
