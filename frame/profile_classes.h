// The two public classes of the per-user report display preference: CDataRead
// reads the stored FchkDisEnter row of a report and user from ICReportProfile,
// CDataUpdate replaces it. Each call parses the session string, builds a data
// source and takes a connection of its own, which it closes before returning.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "frame/cdatasource.h"
#include "frame/cparse.h"
#include "platform/object.h"
#include "platform/recordset.h"

namespace orv::frame {

// The number every failed write raises, whatever failed: the object-error
// base 0x80040000 plus 16452.
inline constexpr int32_t kErrProfileWrite = static_cast<int32_t>(0x80044044);

// The two batches, exactly as they go to the server. `strValue` has its
// apostrophes doubled, so the literal holds the value unchanged.
std::string ReadProfileSQL(int32_t lngRptID, int32_t lngUserID);
std::string WriteProfileSQL(int32_t lngRptID, int32_t lngUserID, std::string_view strValue);

// The members both classes hold: the session parser and the data source,
// released data source first.
class ProfileFrame : public platform::Object {
 protected:
  // A new parser filled from sDsn and a new data source on it; no connection.
  // No trap of its own.
  void InitDataEnv(std::string_view sDsn);
  CDataSource& DataSource() const { return *data_source_; }

 private:
  std::shared_ptr<CParse> parser_;
  std::unique_ptr<CDataSource> data_source_;  // declared last, so released first
};

class CDataRead : public ProfileFrame {
 public:
  // The FPlan and FValue columns of the stored rows (none when nothing is
  // stored), detached from the connection. A failure is raised with its own
  // number, the source "Orvalent.CDataRead.GetDisEnterProfile" + CR LF + its
  // source and the description CR LF + its description.
  std::shared_ptr<platform::Recordset> GetDisEnterProfile(std::string_view sDsn, int32_t& lngRptID,
                                                          int32_t& lngUserID);
};

class CDataUpdate : public ProfileFrame {
 public:
  // Deletes the stored rows and inserts strValue as FPlan and FValue in one
  // batch, then votes SetComplete. Returns false: success is the absence of
  // an error. A failure votes SetAbort and is raised as kErrProfileWrite with
  // the source "Orvalent.CDataUpdate.SetDisEnterProfile" + CR LF + its source
  // and the description CR LF + its description.
  bool SetDisEnterProfile(std::string_view sDsn, int32_t& lngRptID, int32_t& lngUserID, std::string_view strValue);
};

}  // namespace orv::frame
