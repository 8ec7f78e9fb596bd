// libFuzzer entry point over the batch parser: any input must either parse or
// end in a SqlError; a crash, a hang or another exception is a finding.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "engine/common/errors.h"
#include "engine/parser/parser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  try {
    orv::engine::ParseBatch(text);
  } catch (const orv::engine::SqlError&) {
  }
  for (const orv::engine::ScriptBatch& batch : orv::engine::SplitScript(text)) {
    try {
      orv::engine::ParseBatch(batch.text);
    } catch (const orv::engine::SqlError&) {
    }
  }
  return 0;
}
