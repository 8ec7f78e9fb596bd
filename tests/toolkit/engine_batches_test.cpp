// The generated SQL run on the embedded engine: the level batches fill
// #ItemLevel with the ancestors worked out by hand, and a rollup built with
// GetSortSQL's fragment classifies and labels its rows as expected.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "tests/toolkit/condition_dict.h"
#include "toolkit/report_toolkit.h"
#include "toolkit/sql_text.h"

namespace orv::toolkit {
namespace {

class EngineBatches : public ::testing::Test {
 protected:
  EngineBatches()
      : database_(std::make_shared<engine::Database>("toolkit-batches")), session_(database_) {}

  // Runs a batch; the test fails with the engine's message when it stops on an error.
  engine::BatchResult Run(std::string_view batch) {
    engine::BatchResult result = session_.Execute(batch);
    EXPECT_FALSE(result.first_error()) << result.first_error()->number() << ": " << result.first_error()->message() << "\n"
                                           << batch;
    return result;
  }

  // The rows of the batch's last result set, each as its values joined with "|".
  std::vector<std::string> Rows(std::string_view batch) {
    engine::BatchResult result = Run(batch);
    std::vector<std::string> rows;
    if (result.result_sets.empty()) return rows;
    const engine::ResultSet& set = result.result_sets.back();
    for (size_t r = 0; r < set.row_count(); ++r) {
      std::string row;
      for (size_t c = 0; c < set.column_count(); ++c) row += (c ? "|" : "") + engine::FormatValue(set.at(r, c));
      rows.push_back(row);
    }
    return rows;
  }

  std::shared_ptr<engine::Database> database_;
  engine::Session session_;
};

TEST_F(EngineBatches, SupplierLevelsTwoAndThree) {
  Run("CREATE TABLE t_Item (FItemID int, FItemClassID int, FNumber nvarchar(80), FFullNumber nvarchar(80), "
      "FName nvarchar(80))\r\n"
      "INSERT INTO t_Item VALUES (1, 8, '01', '01', 'North')\r\n"
      "INSERT INTO t_Item VALUES (2, 8, '01.02', '01.02', 'North-East')\r\n"
      "INSERT INTO t_Item VALUES (3, 8, '01.02.03', '01.02.03', 'Harbin Supply')\r\n"
      "INSERT INTO t_Item VALUES (4, 4, '01.02', '01.02', 'Tools')\r\n"
      "INSERT INTO t_Item VALUES (5, 8, '07.01.02.09', '07.01.02.09', 'Deep')\r\n");
  const platform::ConditionDictionary dct = test::Dict({{"FLvlFrom", 2}, {"FLvlTo", 3}});
  Run(ReplaceAll(GetItemLevelSQL(8, &dct, 0), "##ITEMFILTER##", ""));
  // 01 sits above level 2; 01.02 is its own level-2 ancestor; 07.01.02.09 has
  // level ancestors 07.01 and 07.01.02, which are not in the table.
  EXPECT_EQ(Rows("SELECT FItemID, FItemClassID, FNumber2, FName2, FNumber3, FName3 FROM #ItemLevel ORDER BY FItemID"),
            (std::vector<std::string>{"1|8|NULL|NULL|NULL|NULL", "2|8|01.02|North-East|NULL|NULL",
                                      "3|8|01.02|North-East|01.02.03|Harbin Supply", "5|8|07.01|NULL|07.01.02|NULL"}));
}

TEST_F(EngineBatches, ManagementAccountLevelsTwoAndThree) {
  Run("CREATE TABLE t_MgAcct (FMgAcctID int, FNumber nvarchar(80), FName nvarchar(80), FLevel int, FDetail int)\r\n"
      "INSERT INTO t_MgAcct VALUES (1, '01', 'Assets', 1, 0)\r\n"
      "INSERT INTO t_MgAcct VALUES (2, '01.02', 'Fixed', 2, 0)\r\n"
      "INSERT INTO t_MgAcct VALUES (3, '01.02.03', 'Machines', 3, 1)\r\n"
      "INSERT INTO t_MgAcct VALUES (4, '02', 'Cash', 1, 1)\r\n"
      "INSERT INTO t_MgAcct VALUES (5, '01.02.04.01', 'Tools', 4, 1)\r\n");
  Run(ReplaceAll(GetMgAcctLevelSQL(2, 3), "##ITEMFILTER##", ""));
  // Only detail accounts get rows; an account at the level or above it has NULL there.
  EXPECT_EQ(Rows("SELECT FItemID, FNumber2, FName2, FNumber3, FName3 FROM #ItemLevel ORDER BY FItemID"),
            (std::vector<std::string>{"3|01.02|Fixed|NULL|NULL", "4|NULL|NULL|NULL|NULL",
                                      "5|01.02|Fixed|01.02.04|NULL"}));
}

TEST_F(EngineBatches, RollupClassifiedAndLabelled) {
  frame::CParse parse;
  parse.ParseString("Language=chs;");
  std::string total;
  std::string subtotal;
  const std::string sort = GetSortSQL("T1.FSupply,T1.FFee", total, subtotal, parse);
  Run("CREATE TABLE #D (FSupply nvarchar(40), FFee nvarchar(40), FQty int)\r\n"
      "INSERT INTO #D VALUES ('S1', 'F1', 2)\r\n"
      "INSERT INTO #D VALUES ('S1', 'F2', 3)\r\n"
      "INSERT INTO #D VALUES ('S2', 'F1', 5)\r\n");
  Run("Select T1.FSupply,T1.FFee,Sum(T1.FQty) as FQty\r\n" + sort +
      "INTO #TmpResult\r\nFrom #D T1\r\nGroup by T1.FSupply,T1.FFee With RollUp\r\n");
  Run(total);
  Run(subtotal);
  EXPECT_EQ(Rows("SELECT FSumSort, FSupply, FFee, FQty FROM #TmpResult ORDER BY FSumSort, FSupply, FFee"),
            (std::vector<std::string>{"0|S1|F1|2", "0|S1|F2|3", "0|S2|F1|5", "101|(合计)|NULL|10",
                                      "102|S1(小计)|NULL|5", "102|S2(小计)|NULL|5"}));
}

}  // namespace
}  // namespace orv::toolkit
