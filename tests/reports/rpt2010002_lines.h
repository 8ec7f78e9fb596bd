// The expense invoice lines of the tiny demo database as report 2010002 lists
// them (demo/tiny-expected.md), and their measures, shared by the row tests
// of the report with and without grouping.
#pragma once

#include <string>
#include <vector>

#include "tests/reports/report_fixture.h"

namespace orv::test::rpt2010002 {

inline constexpr std::string_view kProgId = "Orvalent.CRPT2010002";

// E1 to E6: invoice/line 7001/1, 7001/2, 7002/1, 7003/1, 7004/1, 7004/2.
enum Line { E1, E2, E3, E4, E5, E6 };

// The detail columns of #AA_Rpt2010002, column by column.
inline const std::vector<RowValues>& Lines() {
  static const std::vector<RowValues> lines = RowsFromColumns({
      {"FDate", {"2024-01-30", "2024-01-30", "2024-02-20", "2024-03-10", "2024-04-05 09:15:00", "2024-04-05 09:15:00"}},
      {"FBillNo", {"ZCFY000001", "ZCFY000001", "ZCFY000002", "ZCFY000003", "ZCFY000004", "ZCFY000004"}},
      {"FSupplyID", {"402", "402", "403", "999", "406", "406"}},
      {"FSupplyNumber", {"01.001", "01.001", "01.002", "", "00", "00"}},
      {"FSupplyName", {"上海精工有限公司", "上海精工有限公司", "O'Neil Trading", "", "Acme 直供", "Acme 直供"}},
      {"FFeeID", {"502", "503", "502", "999", "504", "502"}},
      {"FFeeNumber", {"01.01", "02", "01.01", "", "", "01.01"}},
      {"FFeeName", {"国内运输", "安装费", "国内运输", "", "杂费", "国内运输"}},
      {"FExpenseTypeID", {"41101", "41102", "41201", "0", "41102", "41101"}},
      {"FExpenseTypeNumber", {"01", "02", "", "", "02", "01"}},
      {"FExpenseTypeName", {"运杂费", "安装调试费", "", "", "安装调试费", "运杂费"}},
      {"FCurrency", {"人民币", "人民币", "科威特第纳尔", "", "日元", "日元"}},
      {"FUnit", {"次", "", "次", "批", "套", "次"}},
      {"FQty", {"1", "0", "2", "1", "3", "1"}},
      {"FPrice", {"545", "0", "54.5", "200", "1060", "400"}},
      {"FAmount", {"545", "0", "1090", "200", "159", "20"}},
      {"FAmountFor", {"545", "0", "109", "200", "3180", "400"}},
      {"FTaxRate", {"9", "0", "9", "0", "6", "0"}},
      {"FTaxAmt", {"45", "0", "90", "0", "9", "0"}},
      {"FTaxAmtFor", {"45", "0", "9", "0", "180", "0"}},
      {"FAmtNoTax", {"500", "0", "1000", "200", "150", "20"}},
      {"FAmtNoTaxFor", {"500", "0", "100", "200", "3000", "400"}},
      {"FChecker", {"管理员", "管理员", "", "Morgan", "", ""}},
      {"FNote", {"运费", "", "海运", "O'Keefe", "", "it's ok"}},
      {"FSumSort", {"0", "0", "0", "0", "0", "0"}},
      {"FQtyDecimal", {"4", "4", "4", "4", "4", "4"}},
      {"FPriceDecimal", {"4", "4", "4", "4", "4", "4"}},
  });
  return lines;
}

// Invoice number and fee tell the lines apart.
inline const std::vector<std::string> kKey = {"FBillNo", "FFeeID"};

// The four summed measures: FQty, FAmountFor, FTaxAmtFor, FAmtNoTaxFor.
struct Sums {
  std::string qty, amount_for, tax_for, no_tax_for;
};

// Each line's own measures, read off the table above.
inline Sums LineSums(Line line) {
  const RowValues& row = Lines().at(line);
  return {row.at("FQty"), row.at("FAmountFor"), row.at("FTaxAmtFor"), row.at("FAmtNoTaxFor")};
}

// All six lines: FQty 1+0+2+1+3+1, FAmountFor 545+0+109+200+3180+400,
// FTaxAmtFor 45+0+9+0+180+0, FAmtNoTaxFor 500+0+100+200+3000+400.
inline const Sums kAllLines{"8", "4434", "234", "4200"};

}  // namespace orv::test::rpt2010002
