// libFuzzer entry point over batch execution: any text run on a session of a
// small database must end in rows or in a SqlError inside the BatchResult;
// a crash, a hang or an escaping exception is a finding.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/fuzz_session.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto session = orv::fuzz::NewFuzzSession();
  session->Execute(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
