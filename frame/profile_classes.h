// The two public classes of the per-user report display preference: CDataRead
// reads the stored row, CDataUpdate replaces it. Their bodies are still to
// come; until then each call raises a clear "not implemented" error.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "platform/object.h"
#include "platform/recordset.h"

namespace orv::frame {

class CDataRead : public platform::Object {
 public:
  std::shared_ptr<platform::Recordset> GetDisEnterProfile(std::string_view sDsn, int32_t& lngRptID,
                                                          int32_t& lngUserID);
};

class CDataUpdate : public platform::Object {
 public:
  bool SetDisEnterProfile(std::string_view sDsn, int32_t& lngRptID, int32_t& lngUserID, std::string_view strValue);
};

}  // namespace orv::frame
