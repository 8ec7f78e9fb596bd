// The "DataSource" group of the capability cache. Each capability is read
// from the connection's properties on its own: one the provider does not
// give is skipped and keeps its empty value, which the accessors read as
// false or 0. "Connected" is written last, so a reader that finds it true
// finds every other property written; one that does not loads the group
// itself, and two such loads write the same values.
#include <array>

#include "frame/cdatasource.h"
#include "platform/automation_error.h"
#include "platform/class_registry.h"
#include "platform/recordset.h"

namespace orv::frame {
namespace {

using platform::Variant;

bool IsNullOrEmpty(const Variant& value) {
  return value.IsNull() || value.IsEmpty() || (value.type() == platform::VarType::String && value.TextLength() == 0);
}

Variant TextOrEmpty(const Variant& value) { return IsNullOrEmpty(value) ? Variant("") : value; }
Variant ValueOrFalse(const Variant& value) { return IsNullOrEmpty(value) ? Variant(false) : value; }
Variant IsYes(const Variant& value) { return Variant(!IsNullOrEmpty(value) && value.ToString() == "Y"); }
Variant AsRead(const Variant& value) { return value; }

struct Capability {
  std::string_view property;
  std::string_view provider_name;
  Variant (*stored)(const Variant&);
};

constexpr std::array<Capability, 9> kCapabilities = {{
    {"DBMSName", "DBMS Name", TextOrEmpty},
    {"DBMSVersion", "DBMS Version", TextOrEmpty},
    {"MultipleResults", "Multiple Results", ValueOrFalse},
    {"LikeEscapeClause", "Like Escape Clause", IsYes},
    {"IEF", "Integrity Enhancement Facility", ValueOrFalse},
    {"NumericFunctions", "Numeric Functions", AsRead},
    {"StringFunctions", "String Functions", AsRead},
    {"SystemFunctions", "System Functions", AsRead},
    {"DateTimeFunctions", "Time/Date Functions", AsRead},
}};

constexpr std::array<std::string_view, 12> kPropertyNames = {
    "DBMSName",        "DBMSVersion",     "MultipleResults", "LikeEscapeClause",
    "IEF",             "NumericFunctions", "StringFunctions", "SystemFunctions",
    "DateTimeFunctions", "SupportedProc", "ConnectString",   "Connected"};

bool IsTrue(const Variant& value) { return value.type() == platform::VarType::Boolean && value.ToBool(); }

// Each procedure name once: a repeated or empty row of the table is no reason
// to leave the whole cache unloadable.
std::shared_ptr<platform::ConditionDictionary> SupportedProcedures(platform::Connection& connection) {
  auto procedures = std::make_shared<platform::ConditionDictionary>();
  const std::shared_ptr<platform::Recordset> rows = connection.Execute("SELECT FProcName FROM t_SupportedProc", -1);
  for (; !rows->Eof(); rows->MoveNext()) {
    const Variant name = rows->Collect(0);
    if (name.IsNull()) continue;
    const std::string key = name.ToString();
    if (!procedures->Exists(key)) procedures->Add(key, Variant(true));
  }
  rows->Close();
  return procedures;
}

}  // namespace

std::span<const std::string_view> CDataSource::DataSourcePropertyNames() { return kPropertyNames; }

std::shared_ptr<platform::SharedPropertyGroup> CDataSource::OpenGroup(std::string_view word) const {
  const std::string name = Session().ConDBMSName() + Session().ConDBMSVersion() + std::string(word);
  auto manager = std::dynamic_pointer_cast<platform::SharedPropertyGroupManager>(
      platform::CreateObject(platform::kSharedPropertyManagerProgId));
  if (!manager) platform::RaiseRuntimeError(platform::kErrCannotCreateObject);
  int32_t isolation = platform::kLockSetGet;
  int32_t release = platform::kReleaseProcess;
  return manager->CreatePropertyGroup(name, isolation, release);
}

bool CDataSource::LoadDataSource() const {
  auto connection = std::make_shared<platform::Connection>();
  connection->Open(ConnectString(), "", "", -1);
  const std::shared_ptr<platform::SharedPropertyGroup> group = OpenGroup("DataSource");
  try {
    connection->Properties().Refresh();
  } catch (const platform::AutomationError&) {
    // The properties read before stay; the capabilities are read from them.
  }
  for (const Capability& capability : kCapabilities) {
    try {
      const std::shared_ptr<platform::SharedProperty> property = group->CreateProperty(capability.property);
      property->SetValue(capability.stored(connection->Properties().Item(capability.provider_name)));
    } catch (const platform::AutomationError&) {
      // Not given by this provider: skipped.
    }
  }
  group->CreateProperty("SupportedProc")
      ->SetValue(Variant(std::static_pointer_cast<platform::Object>(SupportedProcedures(*connection))));
  group->CreateProperty("ConnectString")->SetValue(Variant(ConnectString()));
  group->CreateProperty("Connected")->SetValue(Variant(true));
  connection->Close();
  return true;
}

std::shared_ptr<platform::SharedPropertyGroup> CDataSource::DataSourceGroup() const {
  std::shared_ptr<platform::SharedPropertyGroup> group = OpenGroup("DataSource");
  if (!IsTrue(group->CreateProperty("Connected")->Value())) LoadDataSource();
  return group;
}

Variant CDataSource::GetSharedValue(std::string_view name) const {
  return DataSourceGroup()->CreateProperty(name)->Value();
}

std::string CDataSource::DBMSVersion() const { return GetSharedValue("DBMSVersion").ToString(); }
bool CDataSource::MultipleResults() const { return GetSharedValue("MultipleResults").ToBool(); }
bool CDataSource::LikeEscapeClause() const { return GetSharedValue("LikeEscapeClause").ToBool(); }
bool CDataSource::IEF() const { return GetSharedValue("IEF").ToBool(); }
int32_t CDataSource::NumericFunctions() const { return GetSharedValue("NumericFunctions").ToLong(); }
int32_t CDataSource::StringFunctions() const { return GetSharedValue("StringFunctions").ToLong(); }
int32_t CDataSource::SystemFunctions() const { return GetSharedValue("SystemFunctions").ToLong(); }
int32_t CDataSource::DateTimeFunctions() const { return GetSharedValue("DateTimeFunctions").ToLong(); }

bool CDataSource::ProcSupported(std::string_view ProcName) const {
  const auto procedures = std::dynamic_pointer_cast<platform::ConditionDictionary>(
      GetSharedValue("SupportedProc").ToObject());
  if (!procedures) platform::RaiseRuntimeError(platform::kErrTypeMismatch);
  return procedures->Exists(ProcName);
}

bool CDataSource::IsOracle() const { return DBMSName() == "Oracle"; }

}  // namespace orv::frame
