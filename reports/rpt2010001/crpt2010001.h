// The purchase invoice report class: the first shape of the report frame, in
// which GetRptData itself builds the one batch (temporary table, invoice
// lines, total row, final SELECT) and runs it.
#pragma once

#include <memory>
#include <string_view>

#include "frame/report_frame.h"

namespace orv::reports {

class CRPT2010001 : public frame::ReportFrame {
 public:
  CRPT2010001() : ReportFrame("CRPT2010001") {}

 protected:
  std::shared_ptr<platform::Recordset> RunReport(std::string_view sDsn,
                                                 const platform::ConditionDictionary* dct) override;
};

}  // namespace orv::reports
