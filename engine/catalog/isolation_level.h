// The transaction isolation levels SET TRANSACTION ISOLATION LEVEL names; a
// session keeps the one last set.
#pragma once

namespace orv::engine {

enum class IsolationLevel { ReadUncommitted, ReadCommitted, RepeatableRead, Serializable, Snapshot };

}  // namespace orv::engine
