// The FSumSort classification with its label updates, and the number and name
// joins of the group columns, for the edge cases the reports depend on.
#include <gtest/gtest.h>

#include "platform/automation_error.h"
#include "platform/class_registry.h"
#include "tests/toolkit/expect_raises.h"
#include "toolkit/report_toolkit.h"
#include "toolkit/sql_literal.h"

namespace orv::toolkit {
namespace {

using platform::ConditionDictionary;
using platform::Variant;

struct Session {
  frame::CParse parse;
  explicit Session(const char* props) { parse.ParseString(props); }
};

TEST(GetSortSQL, OneColumnIsTheGrandTotalOnly) {
  Session chs("Language=chs;");
  std::string total = "old";
  std::string subtotal = "old";
  EXPECT_EQ(GetSortSQL("T1.FSupplyID,", total, subtotal, chs.parse),
            ",CASE \r\n WHEN Grouping(T1.FSupplyID)=1 THEN 101\r\n ELSE 0 END AS FSumSort\r\n");
  EXPECT_EQ(total, "Update #TmpResult Set FSupplyID=ISNULL(FSupplyID,'')+'(合计)' WHERE FSumSort=101\r\n");
  EXPECT_EQ(subtotal, "");
}

TEST(GetSortSQL, SecondColumnGivesSubtotalLabelledOnTheColumnBefore) {
  Session chs("Language=chs;");
  std::string total;
  std::string subtotal;
  EXPECT_EQ(GetSortSQL("T1.FFeeID,T1.FSupplyID,T1.FRptID", total, subtotal, chs.parse),
            ",CASE \r\n"
            " WHEN Grouping(T1.FFeeID)=1 THEN 101\r\n"
            " WHEN Grouping(T1.FSupplyID)=1 THEN 102\r\n"
            " WHEN Grouping(T1.FRptID)=1 THEN 103\r\n"
            " ELSE 0 END AS FSumSort\r\n");
  EXPECT_EQ(total, "Update #TmpResult Set FFeeID=ISNULL(FFeeID,'')+'(合计)' WHERE FSumSort=101\r\n");
  EXPECT_EQ(subtotal,
            "Update #TmpResult Set FFeeID=ISNULL(FFeeID,'')+'(小计)' WHERE FSumSort=102\r\n"
            "Update #TmpResult Set FSupplyID=ISNULL(FSupplyID,'')+'(小计)' WHERE FSumSort=103\r\n");
}

TEST(GetSortSQL, NameColumnsCountFrom119AndLandInTheTotalUpdates) {
  Session chs("Language=chs;");
  std::string total;
  std::string subtotal;
  const std::string fragment = GetSortSQL("t2.FNumber1,t2.FName1,T1.FSupplyID,", total, subtotal, chs.parse);
  EXPECT_EQ(fragment,
            ",CASE \r\n WHEN Grouping(t2.FNumber1)=1 THEN 101\r\n WHEN Grouping(t2.FName1)=1 THEN 120\r\n"
            " WHEN Grouping(T1.FSupplyID)=1 THEN 103\r\n ELSE 0 END AS FSumSort\r\n");
  EXPECT_EQ(total,
            "Update #TmpResult Set FNumber1=ISNULL(FNumber1,'')+'(合计)' WHERE FSumSort=101\r\n"
            "Update #TmpResult Set FNumber1=ISNULL(FNumber1,'')+'(小计)' WHERE FSumSort=120\r\n");
  EXPECT_EQ(subtotal, "Update #TmpResult Set FName1=ISNULL(FName1,'')+'(小计)' WHERE FSumSort=103\r\n");
}

TEST(GetSortSQL, ListWithoutAliasLeavesTheOutTextsAlone) {
  Session chs("Language=chs;");
  std::string total = "kept total";
  std::string subtotal = "kept subtotal";
  EXPECT_EQ(GetSortSQL("FSupplyID,FFeeID", total, subtotal, chs.parse), "");
  EXPECT_EQ(total, "kept total");
  EXPECT_EQ(subtotal, "kept subtotal");
}

TEST(GetSortSQL, ASessionWithoutALanguagePairLabelsAsTheReportReadsItsLanguage) {
  // The parser has no LANGUAGE: the labels take what the light reader finds,
  // nothing at all (the text as written) or the tail of a longer name.
  std::string total;
  std::string subtotal;
  Session none("UserName=demo;");
  GetSortSQL("T1.FSupplyID,T1.FRptID,", total, subtotal, none.parse);
  EXPECT_EQ(total, "Update #TmpResult Set FSupplyID=ISNULL(FSupplyID,'')+'(合计)' WHERE FSumSort=101\r\n");
  EXPECT_EQ(subtotal, "Update #TmpResult Set FSupplyID=ISNULL(FSupplyID,'')+'(小计)' WHERE FSumSort=102\r\n");
  platform::RegisterPlatformClasses();  // the resource loader
  Session tail("XLanguage=en;");
  GetSortSQL("T1.FSupplyID,", total, subtotal, tail.parse);
  EXPECT_EQ(total, "Update #TmpResult Set FSupplyID=ISNULL(FSupplyID,'')+'(Total)' WHERE FSumSort=101\r\n");
}

TEST(QuoteText, DoublesEveryApostropheAndNothingElse) {
  EXPECT_EQ(QuoteText("O'Brien''s"), "O''Brien''''s");
  EXPECT_EQ(QuoteText("合计 \"x\" --"), "合计 \"x\" --");
  EXPECT_EQ(QuoteText(""), "");
}

TEST(GetJoinSQL, SupplierAndFeeWithTheReportIdentifier) {
  Session chs("Language=chs;");
  std::string group = "T1.FSupplyID,T1.FFeeID,T1.FRptID,";
  std::string join = "old";
  EXPECT_EQ(GetJoinSQL(group, join, ConditionDictionary(), chs.parse),
            "t1.FSupplyID,Sup.FNumber AS FSupplyNumber,Sup.FName AS FSupplyName,"
            "t1.FFeeID,Fee.FNumber AS FFeeNumber,Fee.FName AS FFeeName,");
  EXPECT_EQ(join,
            "Left Join t_Supplier Sup ON t1.FSupplyID=Sup.FItemID\r\n"
            "Left Join t_Fee Fee ON t1.FFeeID = Fee.FItemID\r\n");
  EXPECT_EQ(group, "Sup.FNumber,Sup.FName,Fee.FNumber,Fee.FName,");
}

TEST(GetJoinSQL, ItemClassNamesFollowTheLanguageOfTheDictionary) {
  Session chs("Language=chs;");
  const std::pair<const char*, const char*> cases[] = {
      {"en", "FName_en"}, {"Cht", "FName_cht"}, {"chs", "FName"}, {"", "FName"}};
  for (const auto& [language, column] : cases) {
    ConditionDictionary dct;
    dct.Set("LanguageID", language);
    std::string group = "T1.FItemClassID,t1.FItemID,";
    std::string join;
    EXPECT_EQ(GetJoinSQL(group, join, dct, chs.parse),
              std::string("Item.FNumber AS FItemClassNumber,Item.") + column +
                  " AS FItemClassName,IT.FNumber AS FItemNumber,IT.FName AS FItemName, "
                  "t1.FItemID,Item.FNumber AS FItemNumber,Item.FName AS FItemName,")
        << language;
    EXPECT_EQ(join,
              "Left Join t_Item IT ON t1.FItemID=IT.FItemID\r\n"
              "Left Join t_ItemClass Item ON t1.FItemClassID=Item.FItemClassID \r\n"
              "Left Join t_ICItem Item ON t1.FItemID=Item.FItemID\r\n");
    EXPECT_EQ(group, "Item.FNumber,Item.FName,IT.FNumber,IT.FName, Item.FNumber,Item.FName,");
  }
}

TEST(GetJoinSQL, ElementsAreComparedWholeAndRepeatsRepeat) {
  Session chs("Language=chs;");
  std::string group = "t1.FEXPENSETYPEID,T1.FExpenseTypeID ,t2.FNumber1,T1.FExpenseTypeID";
  std::string join;
  EXPECT_EQ(GetJoinSQL(group, join, ConditionDictionary(), chs.parse),
            "t1.FExpenseTypeID,SMG.FID AS FExpenseTypeNumber,SMG.FName AS FExpenseTypeName,"
            "t1.FExpenseTypeID,SMG.FID AS FExpenseTypeNumber,SMG.FName AS FExpenseTypeName,");
  EXPECT_EQ(group, "SMG.FID,SMG.FName,SMG.FID,SMG.FName,");
}

TEST(GetJoinSQL, CurrencyViewLeadsTheGroupList) {
  Session chs("Language=chs;");
  ConditionDictionary dct;
  dct.Set("View", 1);
  std::string group = "T1.FCurrencyID,T1.FSupplyID,T1.FRptID";
  std::string join;
  EXPECT_EQ(GetJoinSQL(group, join, dct, chs.parse),
            "Cur.FNumber AS FCurNumber,Cur.FName AS FCurName,Cur.FScale AS FAmtDecimal, \r\n"
            "t1.FSupplyID,Sup.FNumber AS FSupplyNumber,Sup.FName AS FSupplyName,");
  EXPECT_EQ(join,
            "Left Join t_Currency Cur ON T1.FCurrencyID=Cur.FCurrencyID \r\n"
            "Left Join t_Supplier Sup ON t1.FSupplyID=Sup.FItemID\r\n");
  EXPECT_EQ(group, "Cur.FNumber,Cur.FName,Cur.FScale,Cur.FNumber,Cur.FName,Cur.FScale,Sup.FNumber,Sup.FName,\r\n");
  std::string empty;
  EXPECT_EQ(GetJoinSQL(empty, join, dct, chs.parse), "");
  EXPECT_EQ(empty, "Cur.FNumber,Cur.FName,Cur.FScale,\r\n");
  EXPECT_EQ(join, "");
}

}  // namespace
}  // namespace orv::toolkit
