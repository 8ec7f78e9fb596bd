// The summary values of the four group fields (see four_field_summary.h).
#include "reports/four_field_summary.h"

namespace orv::reports {

toolkit::SummaryParameters FourFieldSummary(std::string_view detail_table, std::string_view rollup_total_gap) {
  return toolkit::SummaryParameters{
      .detail_table = detail_table,
      .rollup_measures = {},
      .level_rollup_measures = {},
      .result_measures = {},
      .report_id = {.always_kept = true, .kept_by = {}, .dropped_by = {}},
      .level_items = {{2, "t1.FUseDeptID", ""}, {3, "t1.FAppUserID", ""}, {4, "t1.FItemID", ""},
                      {8, "t1.FSupplyID", ""}},
      // The level total labels run on #TmpResult as soon as the rollup has made it.
      .levels = {.check_key = "FChkLevel", .numbers = false, .cleanup = false, .item_required = true,
                 .rollup_total_gap = rollup_total_gap},
      .label_renames = {{"FUseDeptID", "FUseDeptName"},
                        {"FItemID", "FItemName"},
                        {"FSupplyID", "FSupplyName"},
                        {"FAppUserID", "FAppUserName"},
                        {"#TmpResult", "#TmpResult2"}},
      .total_label_check_key = "FChkLevel",
      .final_rewrites = {{"t1.FSupplyID,Sup.FNumber AS FSupplyNumber,Sup.FName AS FSupplyName",
                          "tmp2.FSupplyID,tmp2.FSupplyNumber,tmp2.FSupplyName"},
                         {"t1.FAppUserID,Emp.FNumber AS FAppUserNumber,Emp.FName AS FAppUserName",
                          "tmp2.FAppUserID,tmp2.FAppUserNumber,tmp2.FAppUserName"},
                         {"t1.FUseDeptID,UseDep.FNumber AS FUseDeptNumber,UseDep.FName AS FUseDeptName",
                          "tmp2.FUseDeptID,tmp2.FUseDeptNumber,tmp2.FUseDeptName"},
                         {"t1.FItemID,Item.FNumber AS FItemNumber,Item.FName AS FItemName",
                          "tmp2.FItemID,tmp2.FItemNumber,tmp2.FItemName"}},
      .identity_columns = "FSupplyID,FSupplyNumber,FSupplyName,FAppUserID,FAppUserNumber,FAppUserName,FUseDeptID,"
                          "FUseDeptNumber,FUseDeptName,FItemID,FItemNumber,FItemName,",
      .identity_removals = {{{"FGroupByItem"}, "FItemID,FItemNumber,FItemName,"},
                            {{"FGroupBySupply"}, "FSupplyID,FSupplyNumber,FSupplyName,"},
                            {{"FGroupByAppUser"}, "FAppUserID,FAppUserNumber,FAppUserName,"},
                            {{"FGroupByUseDept"}, "FUseDeptID,FUseDeptNumber,FUseDeptName,"}},
      .final_columns = {},
      // There is no total row of its own: the report always summarises.
      .total_row = std::nullopt,
      .group_keys = {"FGroupByItem", "FGroupBySupply", "FGroupByAppUser", "FGroupByUseDept"},
  };
}

}  // namespace orv::reports
