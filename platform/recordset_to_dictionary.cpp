// Each field is added with the dictionary's Add, so a row with two fields of
// one name raises the duplicate-key error rather than losing one.
#include "platform/recordset_to_dictionary.h"

namespace orv::platform {

std::shared_ptr<ConditionDictionary> RecordsetToDictionary(Recordset& rs) {
  auto row = std::make_shared<ConditionDictionary>();
  const platform::Fields& fields = rs.Fields();
  for (int32_t i = 0; i < fields.Count(); ++i) {
    const Field field = fields.Item(i);
    row->Add(field.Name(), field.Value());
  }
  return row;
}

}  // namespace orv::platform
