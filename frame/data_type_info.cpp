// The "DataTypeInfo" group of the capability cache and the type-name routines
// on it. The group holds one dictionary per row of t_DataTypeInfo at the
// position of its FDataType, and a "Loaded" mark written after the last row:
// a reader that finds the mark finds every row, and one that does not (the
// group is new, another thread is filling it, or a fill failed half-way)
// fills the group itself.
#include <string>

#include "frame/cdatasource.h"
#include "platform/automation_error.h"
#include "platform/recordset.h"
#include "platform/recordset_to_dictionary.h"

namespace orv::frame {
namespace {

using platform::ConditionDictionary;
using platform::Variant;

constexpr std::string_view kLoadedMark = "Loaded";

// Steps shared by GetTypeName and GetActualType: false when the precision
// exceeds the type's maximum; otherwise the scale is clamped to the type's
// range (a maximum first, then a minimum).
bool FitsType(const ConditionDictionary& type, int32_t precision, int16_t& scale) {
  const Variant max_precision = type.Item("FMaxPrecision");
  if (!max_precision.IsNull() && precision > max_precision.ToDouble()) return false;
  const Variant max_scale = type.Item("FMaxScale");
  if (!max_scale.IsNull() && scale > max_scale.ToDouble()) scale = max_scale.ToInteger();
  const Variant min_scale = type.Item("FMinScale");
  if (!min_scale.IsNull() && scale < min_scale.ToDouble()) scale = min_scale.ToInteger();
  return true;
}

// The type's actual size, or the precision when it has none.
void ReadStorage(const ConditionDictionary& type, int32_t precision, int32_t& actual_size, int16_t& bind_type) {
  const Variant size = type.Item("FActualSize");
  actual_size = size.IsNull() ? precision : size.ToLong();
  bind_type = type.Item("FBindType").ToInteger();
}

// "decimal" gives "decimal(10,2)"; "decimal() identity" gives "decimal(10,2) identity".
std::string WithPrecision(const std::string& type_name, int32_t precision, int16_t scale, bool has_scale) {
  std::string arguments = std::to_string(precision);
  if (has_scale) arguments += "," + std::to_string(scale);
  const size_t open = type_name.find('(');
  if (open == std::string::npos) return type_name + "(" + arguments + ")";
  size_t close = type_name.find(')');
  if (close == std::string::npos) close = open;
  return type_name.substr(0, open + 1) + arguments + ")" + type_name.substr(close + 1);
}

// An optional by-reference argument: a missing one reads as 0 and takes no result.
template <typename T>
struct ByRef {
  explicit ByRef(T* given) : target(given), value(given ? *given : T{}) {}
  void Store() const {
    if (target) *target = value;
  }
  T* target;
  T value;
};

}  // namespace

void CDataSource::LoadDataTypeInfo(platform::SharedPropertyGroup& spmGroup) const {
  auto connection = std::make_shared<platform::Connection>();
  connection->Open(ConnectString(), "", "", -1);
  connection->SetCursorLocation(platform::adUseClient);
  const std::shared_ptr<platform::Recordset> rows = connection->Execute("select * from t_DataTypeInfo", -1);
  for (; !rows->Eof(); rows->MoveNext()) {
    const int32_t position = rows->Collect("FDataType").ToLong();
    spmGroup.CreatePropertyByPosition(position)->SetValue(
        Variant(std::static_pointer_cast<platform::Object>(platform::RecordsetToDictionary(*rows))));
  }
  rows->Close();
  connection->Close();
}

std::shared_ptr<platform::SharedPropertyGroup> CDataSource::DataTypeInfoGroup() const {
  std::shared_ptr<platform::SharedPropertyGroup> group = OpenGroup("DataTypeInfo");
  const std::shared_ptr<platform::SharedProperty> loaded = group->CreateProperty(kLoadedMark);
  const Variant mark = loaded->Value();
  if (mark.type() != platform::VarType::Boolean || !mark.ToBool()) {
    LoadDataTypeInfo(*group);
    loaded->SetValue(Variant(true));
  }
  return group;
}

std::shared_ptr<ConditionDictionary> CDataSource::GetDataTypeInfo(int32_t DataType) const {
  const std::shared_ptr<platform::SharedPropertyGroup> group = DataTypeInfoGroup();
  std::shared_ptr<ConditionDictionary> type;
  try {
    type = std::dynamic_pointer_cast<ConditionDictionary>(group->PropertyByPosition(DataType)->Value().ToObject());
  } catch (const platform::AutomationError&) {
    // No row of that FDataType: reported below in the table's terms.
  }
  if (!type) {
    throw platform::AutomationError(platform::kErrInvalidProcedureCall, "Orvalent",
                                    "The data type " + std::to_string(DataType) + " is not in t_DataTypeInfo.");
  }
  return type;
}

std::string CDataSource::GetTypeName(int32_t DataType, int32_t* Precision, int16_t* nScale, int16_t* ActualType,
                                     int32_t* ActualSize, int16_t* BindType) const {
  const std::shared_ptr<ConditionDictionary> type = GetDataTypeInfo(DataType);
  ByRef<int32_t> precision(Precision);
  ByRef<int16_t> scale(nScale);
  if (!FitsType(*type, precision.value, scale.value)) return "";
  std::string name = type->Item("FTypeName").ToString();
  if (type->Item("FMaxPrecision").IsNull()) {
    precision.value = 0;
    scale.value = 0;
  } else {
    name = WithPrecision(name, precision.value, scale.value, !type->Item("FMaxScale").IsNull());
  }
  ByRef<int16_t> actual_type(ActualType);
  ByRef<int32_t> actual_size(ActualSize);
  ByRef<int16_t> bind_type(BindType);
  actual_type.value = type->Item("FActualType").ToInteger();
  ReadStorage(*type, precision.value, actual_size.value, bind_type.value);
  precision.Store();
  scale.Store();
  actual_type.Store();
  actual_size.Store();
  bind_type.Store();
  return name;
}

int16_t CDataSource::GetActualType(int32_t DataType, int32_t* Precision, int16_t* nScale, int32_t* ActualSize,
                                   int16_t* BindType) const {
  const std::shared_ptr<ConditionDictionary> type = GetDataTypeInfo(DataType);
  const int32_t precision = Precision ? *Precision : 0;
  ByRef<int16_t> scale(nScale);
  if (!FitsType(*type, precision, scale.value)) return 0;
  ByRef<int32_t> actual_size(ActualSize);
  ByRef<int16_t> bind_type(BindType);
  ReadStorage(*type, precision, actual_size.value, bind_type.value);
  scale.Store();
  actual_size.Store();
  bind_type.Store();
  return type->Item("FActualType").ToInteger();
}

int16_t CDataSource::GetBindType(int32_t DataType) const {
  return GetDataTypeInfo(DataType)->Item("FBindType").ToInteger();
}

}  // namespace orv::frame
