// The database ids DB_ID and DB_NAME report: SQL Server numbers its system
// databases 1 to 4 (master, tempdb, model, msdb); the session's own is next.
#pragma once

#include <cstdint>

namespace orv::engine {

inline constexpr int64_t kOwnDatabaseId = 5;

}  // namespace orv::engine
