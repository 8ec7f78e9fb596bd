// ADO's error texts and the provider's mapping of database error numbers.
#include "platform/ado_errors.h"

#include "platform/automation_error.h"

namespace orv::platform {
namespace {

const char* AdoDescription(AdoError error) {
  switch (error) {
    case AdoError::kInvalidArgument:
      return "Arguments are of the wrong type, are out of acceptable range, or are in conflict with one another.";
    case AdoError::kNoCurrentRecord:
      return "Either BOF or EOF is True, or the current record has been deleted. Requested operation requires a "
             "current record.";
    case AdoError::kItemNotFound:
      return "Item cannot be found in the collection corresponding to the requested name or ordinal.";
    case AdoError::kObjectClosed:
      return "Operation is not allowed when the object is closed.";
    case AdoError::kObjectOpen:
      return "Operation is not allowed when the object is open.";
    case AdoError::kProviderNotFound:
      return "Provider cannot be found. It may not be properly installed.";
    case AdoError::kConnectionClosed:
      return "The connection cannot be used to perform this operation. It is either closed or invalid in this "
             "context.";
  }
  return "";
}

struct NativeErrorRow {
  int native_number;
  int32_t hresult;
  std::string_view sql_state;
};

// What the provider reports for each database error. Others: a statement error
// (severity 11 to 16) is a command-text error, anything graver E_FAIL.
constexpr NativeErrorRow kNativeErrors[] = {
    {102, kHrErrorsInCommand, "42000"},     // incorrect syntax
    {156, kHrErrorsInCommand, "42000"},     // incorrect syntax near a keyword
    {207, kHrErrorsInCommand, "42S22"},     // invalid column name
    {209, kHrErrorsInCommand, "42000"},     // ambiguous column name
    {2714, kHrErrorsInCommand, "42S01"},    // object already exists
    {8134, kHrErrorsInCommand, "22012"},    // divide by zero
    {208, kHrNoSuchTable, "42S02"},         // invalid object name
    {241, kHrCantConvertValue, "22007"},    // date conversion failed
    {245, kHrCantConvertValue, "22018"},    // conversion failed
    {8114, kHrCantConvertValue, "22018"},   // error converting data type
    {8115, kHrDataOverflow, "22003"},       // arithmetic overflow converting
    {220, kHrDataOverflow, "22003"},        // arithmetic overflow for type
    {8152, kHrDataOverflow, "22001"},       // string would be truncated
    {515, kHrIntegrityViolation, "23000"},  // NULL into a NOT NULL column
    {2627, kHrIntegrityViolation, "23000"}, // duplicate key
    {50001, kHrFail, "42000"},              // the embedded engine does not support the construct
    {50002, kHrFail, "HY000"},              // internal error of the embedded engine
};

}  // namespace

int32_t AdoHresult(AdoError error) { return static_cast<int32_t>(0x800A0000u + static_cast<uint32_t>(error)); }

void RaiseAdoError(AdoError error, const std::string& source) {
  throw AutomationError(AdoHresult(error), source, AdoDescription(error));
}

NativeErrorMapping MapNativeError(int native_number, int severity) {
  for (const NativeErrorRow& row : kNativeErrors) {
    if (row.native_number == native_number) return {row.hresult, row.sql_state};
  }
  if (severity >= 11 && severity <= 16) return {kHrErrorsInCommand, "42000"};
  return {kHrFail, "HY000"};
}

}  // namespace orv::platform
