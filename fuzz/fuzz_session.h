// The session every engine fuzzer runs its input on: a fresh small database
// per input (so findings reproduce alone), under a memory budget and a
// time-out that end the inputs that are merely huge (a cross join of cross
// joins) with 701 or 3617, as they would end for a user.
#pragma once

#include <chrono>
#include <memory>

#include "engine/engine.h"

namespace orv::fuzz {

inline std::unique_ptr<engine::Session> NewFuzzSession() {
  auto database = std::make_shared<engine::Database>("fuzz");
  database->set_memory_limit(size_t{512} << 20);
  auto session = std::make_unique<engine::Session>(database);
  session->set_timeout(std::chrono::seconds(2));
  session->Execute(
      "CREATE TABLE t (id INT NOT NULL, name NVARCHAR(20), amount DECIMAL(28,10), d DATETIME)\n"
      "INSERT INTO t VALUES (1, N'张三', 1.5, '2024-03-05'), (2, 'abc', NULL, NULL), (3, NULL, -2, '2024-12-31')\n"
      "CREATE TABLE u (id INT, code VARCHAR(10))\n"
      "INSERT INTO u VALUES (1, '01.02'), (2, '01'), (NULL, NULL)");
  return session;
}

}  // namespace orv::fuzz
