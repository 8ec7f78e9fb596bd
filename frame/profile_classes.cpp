// The display preference calls. The report and user numbers are only read;
// they go into the SQL in plain decimal. The delete and the insert share one
// batch on one connection, the delete first, with no transaction in the batch.
// The connection's own transaction holds them together, as the activity's
// transaction would under a transactional host: a failed insert (a value too
// long, say) must not leave the user's stored preference deleted.
#include "frame/profile_classes.h"

#include "frame/error_trap.h"
#include "platform/automation_error.h"
#include "platform/connection.h"
#include "platform/object_context.h"

namespace orv::frame {
namespace {

// An apostrophe would end the literal early: doubled, it stands for itself.
std::string QuotedText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    out.push_back(c);
    if (c == '\'') out.push_back('\'');
  }
  return out;
}

// The inner failure behind the routine's own name, both after a line break.
platform::AutomationError Chained(int32_t number, const std::string& routine, const platform::AutomationError& caught) {
  return platform::AutomationError(number, routine + "\r\n" + caught.source(), "\r\n" + caught.description());
}

}  // namespace

std::string ReadProfileSQL(int32_t lngRptID, int32_t lngUserID) {
  return "Select FPlan,FValue From ICReportProfile Where FRptid= " + std::to_string(lngRptID) +
         " and FUserID=" + std::to_string(lngUserID) + " and FKey='FchkDisEnter'" + "\r\n";
}

std::string WriteProfileSQL(int32_t lngRptID, int32_t lngUserID, std::string_view strValue) {
  const std::string report = std::to_string(lngRptID);
  const std::string user = std::to_string(lngUserID);
  const std::string value = QuotedText(strValue);
  std::string sql;
  sql += "Delete From ICReportProfile Where FRptid= '" + report + "' and FUserID=" + user +
         " and FKey='FchkDisEnter' " + "\r\n";
  sql += "Insert Into ICReportProfile(FRptID,FUserID,FPlan,FKey,FValue,FStatus) \r\n";
  sql += "Values('" + report + "'," + user + ",'" + value + "'," + "'FchkDisEnter','" + value + "',1" + "  ) " +
         "\r\n";
  return sql;
}

void ProfileFrame::InitDataEnv(std::string_view sDsn) {
  parser_ = std::make_shared<CParse>();
  parser_->ParseString(sDsn);
  data_source_.reset();
  data_source_ = std::make_unique<CDataSource>();
  data_source_->SetParser(parser_);
}

std::shared_ptr<platform::Recordset> CDataRead::GetDisEnterProfile(std::string_view sDsn, int32_t& lngRptID,
                                                                   int32_t& lngUserID) {
  std::shared_ptr<platform::Connection> connection;
  try {
    InitDataEnv(sDsn);
    connection = DataSource().UnCommittedConnection();
    std::shared_ptr<platform::Recordset> rows = connection->Execute(ReadProfileSQL(lngRptID, lngUserID), -1);
    rows->SetActiveConnection(nullptr);
    connection->Close();
    return rows;
  } catch (...) {
    const platform::AutomationError caught = CaughtError();
    connection.reset();  // released, not closed
    throw Chained(caught.number(), "Orvalent.CDataRead.GetDisEnterProfile", caught);
  }
}

bool CDataUpdate::SetDisEnterProfile(std::string_view sDsn, int32_t& lngRptID, int32_t& lngUserID,
                                     std::string_view strValue) {
  std::shared_ptr<platform::Connection> connection;
  bool in_transaction = false;
  try {
    InitDataEnv(sDsn);
    connection = DataSource().Connection();
    connection->BeginTrans();
    in_transaction = true;
    connection->Execute(WriteProfileSQL(lngRptID, lngUserID, strValue), -1);
    connection->CommitTrans();
    in_transaction = false;
    connection->Close();
    connection.reset();
    platform::GetObjectContext().SetComplete();
    return false;
  } catch (...) {
    const platform::AutomationError caught = CaughtError();
    platform::GetObjectContext().SetAbort();
    try {
      if (connection && connection->State() == platform::adStateOpen) {
        if (in_transaction) connection->RollbackTrans();
        connection->Close();
      }
    } catch (...) {
      // The write's own failure is the one the caller must see.
    }
    connection.reset();
    throw Chained(kErrProfileWrite, "Orvalent.CDataUpdate.SetDisEnterProfile", caught);
  }
}

}  // namespace orv::frame
