// Result sets on the wire: the TYPE_INFO of each engine column type, the
// COLMETADATA token and the rows (ROW, or NBCROW when a row holds NULLs and
// the client speaks 7.3 or later). Character columns are sized from the data
// as well as the declared type, so no value is longer than its metadata says.
#pragma once

#include <string>
#include <vector>

#include "engine/engine.h"
#include "tds/tokens.h"

namespace orv::tds {

class ColumnEncoder {
 public:
  // `needed_bytes`: the longest value of the column in its wire encoding.
  ColumnEncoder(const engine::DataType& type, size_t needed_bytes);

  void PutTypeInfo(std::string& out) const;
  void PutValue(std::string& out, const engine::Value& value) const;

 private:
  void PutText(std::string& out, const engine::Value& value) const;

  engine::TypeId id_;
  uint8_t wire_type_ = 0;
  uint32_t max_length_ = 0;  // TYPE_INFO's length; kPlpMaxLength for chunked text
  uint8_t precision_ = 0;
  uint8_t scale_ = 0;
};

// One encoder per column of `result`, each sized to hold every value.
std::vector<ColumnEncoder> EncodersFor(const engine::ResultSet& result);

void PutColMetadata(std::string& out, const TokenFormat& format, const engine::ResultSet& result,
                    const std::vector<ColumnEncoder>& encoders);
void PutRow(std::string& out, const TokenFormat& format, const engine::ResultSet& result, size_t row,
            const std::vector<ColumnEncoder>& encoders);
// A RETURNVALUE token: the value of output parameter `ordinal` of the call.
void PutReturnValue(std::string& out, const TokenFormat& format, uint16_t ordinal, std::string_view name,
                    const ColumnEncoder& encoder, const engine::Value& value);

}  // namespace orv::tds
