// The rows behind a record set, as a provider delivers them: the column
// descriptions in ADO's terms and the values of each row as automation values.
// A row source owns its data, so a record set stays readable after its
// connection and database are gone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/variant.h"

namespace orv::platform {

// ADO's DataTypeEnum values of the types the providers deliver.
enum class DataTypeEnum : int32_t {
  adEmpty = 0,
  adSmallInt = 2,
  adInteger = 3,
  adDouble = 5,
  adCurrency = 6,
  adBoolean = 11,
  adUnsignedTinyInt = 17,
  adBigInt = 20,
  adChar = 129,
  adWChar = 130,
  adNumeric = 131,
  adDBDate = 133,
  adDBTime = 134,
  adDBTimeStamp = 135,
  adVarChar = 200,
  adLongVarChar = 201,
  adVarWChar = 202,
  adLongVarWChar = 203,
};

struct FieldInfo {
  std::string name;
  DataTypeEnum type = DataTypeEnum::adEmpty;
  int32_t defined_size = 0;  // characters for the text types, bytes otherwise
  uint8_t precision = 0;
  uint8_t numeric_scale = 0;
};

class RowSource {
 public:
  virtual ~RowSource() = default;
  virtual const std::vector<FieldInfo>& Columns() const = 0;
  virtual size_t RowCount() const = 0;
  // The value at (row, column); both are in range (the record set checks).
  virtual Variant Value(size_t row, size_t column) const = 0;
};

}  // namespace orv::platform
