// The error numbers of the data-access layer: ADO's own errors (3001, 3021,
// 3265, 3704, 3705, 3706, 3709 as HRESULTs 0x800A0BB9 ...) and the table that
// turns a database error number into the HRESULT, SQL state and message the
// provider reports. One table, so every caller maps the same way.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orv::platform {

enum class AdoError : int32_t {
  kInvalidArgument = 3001,  // argument of the wrong type, out of range or in conflict
  kNoCurrentRecord = 3021,  // BOF or EOF is true
  kItemNotFound = 3265,     // no field of that name or ordinal
  kObjectClosed = 3704,
  kObjectOpen = 3705,
  kProviderNotFound = 3706,
  kConnectionClosed = 3709,
};

// The HRESULT of an ADO error: 0x800A0000 + its number.
int32_t AdoHresult(AdoError error);
// Raises the ADO error with its standard text and `source`.
[[noreturn]] void RaiseAdoError(AdoError error, const std::string& source);

// Provider HRESULTs.
inline constexpr int32_t kHrErrorsInCommand = static_cast<int32_t>(0x80040E14);
inline constexpr int32_t kHrNoSuchTable = static_cast<int32_t>(0x80040E37);
inline constexpr int32_t kHrCantConvertValue = static_cast<int32_t>(0x80040E07);
inline constexpr int32_t kHrDataOverflow = static_cast<int32_t>(0x80040E57);
inline constexpr int32_t kHrIntegrityViolation = static_cast<int32_t>(0x80040E2F);
inline constexpr int32_t kHrFail = static_cast<int32_t>(0x80004005);
inline constexpr int32_t kHrNoCommand = static_cast<int32_t>(0x80040E0C);  // DB_E_NOCOMMAND
inline constexpr int32_t kHrQueryTimeout = static_cast<int32_t>(0x80040E31);  // DB_E_ABORTLIMITREACHED

struct NativeErrorMapping {
  int32_t hresult;
  std::string_view sql_state;
};
// What the provider reports for the database's error `native_number` of `severity`.
NativeErrorMapping MapNativeError(int native_number, int severity);

}  // namespace orv::platform
