// A record set's fields: the description of each column and its value in the
// current row. Field is a view into its record set and is valid while the
// record set lives.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/row_source.h"
#include "platform/variant.h"

namespace orv::platform {

class Recordset;

class Field {
 public:
  Field(const Recordset* recordset, size_t index) : recordset_(recordset), index_(index) {}

  const std::string& Name() const;
  DataTypeEnum Type() const;
  int32_t DefinedSize() const;
  uint8_t Precision() const;
  uint8_t NumericScale() const;
  // The value in the current row; 3021 when there is none.
  Variant Value() const;

 private:
  const FieldInfo& Info() const;
  const Recordset* recordset_;
  size_t index_;
};

class Fields {
 public:
  explicit Fields(const Recordset* recordset) : recordset_(recordset) {}

  int32_t Count() const;
  // By ordinal (from 0) or by name without regard to case; 3265 when absent.
  Field Item(int32_t index) const;
  Field Item(std::string_view name) const;
  Field operator[](int32_t index) const { return Item(index); }
  Field operator[](std::string_view name) const { return Item(name); }

 private:
  const Recordset* recordset_;
};

}  // namespace orv::platform
