// The report object is released before its rows are read: the record set is
// detached, so the rows outlive the report and its connection.
#include "results/report_run.h"

#include <memory>
#include <stdexcept>
#include <string>

#include "frame/report_frame.h"
#include "platform/class_registry.h"

namespace orv::results {

std::shared_ptr<platform::Recordset> RunReportClass(const frame::ReportSchema& schema, std::string_view sDsn,
                                                    const platform::ConditionDictionary& dct) {
  auto report = std::dynamic_pointer_cast<frame::ReportFrame>(
      platform::CreateObject("Orvalent." + std::string(schema.class_name)));
  if (!report) throw std::runtime_error("The class of report " + std::string(schema.number) + " has no GetRptData.");
  const std::shared_ptr<platform::Recordset> rows = report->GetRptData(sDsn, &dct);
  report.reset();
  if (!rows || rows->State() != platform::adStateOpen) {
    throw std::runtime_error("The report returned no open record set.");
  }
  return rows;
}

}  // namespace orv::results
