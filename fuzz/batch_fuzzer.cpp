// libFuzzer entry point over batch execution: any text run on a session of a
// small database must end in rows or in a SqlError inside the BatchResult;
// a crash, a hang or an escaping exception is a finding. Each input gets a
// fresh database so findings reproduce alone. A memory budget and a time-out
// end the inputs that are merely huge (a cross join of cross joins) with 701
// or 3617, as they would end for a user.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "engine/engine.h"

namespace {

constexpr std::string_view kSetup =
    "CREATE TABLE t (id INT NOT NULL, name NVARCHAR(20), amount DECIMAL(28,10), d DATETIME)\n"
    "INSERT INTO t VALUES (1, N'张三', 1.5, '2024-03-05'), (2, 'abc', NULL, NULL), (3, NULL, -2, '2024-12-31')\n"
    "CREATE TABLE u (id INT, code VARCHAR(10))\n"
    "INSERT INTO u VALUES (1, '01.02'), (2, '01'), (NULL, NULL)";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto database = std::make_shared<orv::engine::Database>("fuzz");
  database->set_memory_limit(size_t{512} << 20);
  orv::engine::Session session(database);
  session.set_timeout(std::chrono::seconds(2));
  session.Execute(kSetup);
  session.Execute(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
