// The data source: hands out new connections to the session's database, set
// up for reading (READ UNCOMMITTED) or writing (READ COMMITTED), and describes
// the database through a process-wide cache of its capabilities and of the
// ERP's data-type table, kept in the shared property store in two groups per
// product and version. It keeps no reference to the connections it hands out.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "frame/cparse.h"
#include "platform/connection.h"
#include "platform/host_objects.h"
#include "platform/shared_property.h"

namespace orv::frame {

class CDataSource {
 public:
  // The session's parser; every other member reads through it and raises 91
  // while it is not set.
  const std::shared_ptr<CParse>& Parser() const { return parser_; }
  void SetParser(std::shared_ptr<CParse> parser) { parser_ = std::move(parser); }

  // A new open connection: client-side cursors, no command time-out, dirty reads.
  std::shared_ptr<platform::Connection> UnCommittedConnection() const;
  // The same with READ COMMITTED.
  std::shared_ptr<platform::Connection> Connection() const;

  std::string ConnectString() const;
  std::string DBMSName() const;  // the session string's value, not the server's

  // The cached capabilities of the session's product and version, loaded on
  // first use from the provider's properties and t_SupportedProc. A failure to
  // load reaches the caller unchanged; the next reader loads again.
  std::string DBMSVersion() const;
  bool MultipleResults() const;
  bool LikeEscapeClause() const;
  bool IEF() const;
  int32_t NumericFunctions() const;
  int32_t StringFunctions() const;
  int32_t SystemFunctions() const;
  int32_t DateTimeFunctions() const;
  // Whether t_SupportedProc names the procedure (exact letter case).
  bool ProcSupported(std::string_view ProcName) const;

  // Stores each row of t_DataTypeInfo in `spmGroup` at the position of its
  // FDataType, as a dictionary of column name to value.
  void LoadDataTypeInfo(platform::SharedPropertyGroup& spmGroup) const;
  // The type name of `DataType` written with the precision and, when the type
  // has a maximum scale, the scale clamped to the type's range: "decimal(10,2)",
  // "decimal(18,0) identity". The empty string, arguments untouched, when the
  // precision exceeds the type's maximum. Fills the optional arguments: the
  // clamped scale, the actual and binding types and the actual size (the
  // type's own, else the precision). A DataType not in the table raises 5.
  std::string GetTypeName(int32_t DataType, int32_t* Precision = nullptr, int16_t* nScale = nullptr,
                          int16_t* ActualType = nullptr, int32_t* ActualSize = nullptr,
                          int16_t* BindType = nullptr) const;
  // The same checks; returns the actual type (0 when the precision is too large).
  int16_t GetActualType(int32_t DataType, int32_t* Precision = nullptr, int16_t* nScale = nullptr,
                        int32_t* ActualSize = nullptr, int16_t* BindType = nullptr) const;
  int16_t GetBindType(int32_t DataType) const;
  // The session's product name is exactly "Oracle".
  bool IsOracle() const;

  // The two cache groups of the session's product and version, loaded when
  // not yet complete, for those who show the cache whole.
  std::shared_ptr<platform::SharedPropertyGroup> DataSourceGroup() const;
  std::shared_ptr<platform::SharedPropertyGroup> DataTypeInfoGroup() const;
  // The names the "DataSource" group holds, in the order they are written.
  static std::span<const std::string_view> DataSourcePropertyNames();

 private:
  std::shared_ptr<platform::Connection> OpenConnection(std::string_view isolation_statement) const;
  const CParse& Session() const;

  // Creates or opens the group of the session's product and version ending in `word`.
  std::shared_ptr<platform::SharedPropertyGroup> OpenGroup(std::string_view word) const;
  bool LoadDataSource() const;
  platform::Variant GetSharedValue(std::string_view name) const;
  std::shared_ptr<platform::ConditionDictionary> GetDataTypeInfo(int32_t DataType) const;

  std::shared_ptr<CParse> parser_;
};

}  // namespace orv::frame
