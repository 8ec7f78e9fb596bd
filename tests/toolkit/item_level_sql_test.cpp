// The level batches as text: the exact batch for a small range, the choice of
// range, the item-class list of the currency view, the placeholder, and the
// refusal of values that would not be numbers in the SQL.
#include <gtest/gtest.h>

#include "platform/automation_error.h"
#include "tests/toolkit/condition_dict.h"
#include "tests/toolkit/expect_raises.h"
#include "toolkit/report_toolkit.h"

namespace orv::toolkit {
namespace {

using platform::ConditionDictionary;
using platform::Variant;
using test::Dict;

std::string ItemLevel(int32_t item_class, const ConditionDictionary& dct, int32_t name_style) {
  return GetItemLevelSQL(item_class, &dct, name_style);
}

size_t Count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++n;
  return n;
}

TEST(GetItemLevelSQL, LevelsOneAndTwoOfSuppliers) {
  const std::string expected =
      "IF OBJECT_ID('tempdb..#ItemLevel')<>0 DROP TABLE #ItemLevel\r\n"
      "CREATE TABLE #ItemLevel( \r\n"
      " FItemClassID int, \r\n"
      " FNumber1 NVarchar(355),\r\n"
      " FName1 NVarchar(355),\r\n"
      " FNumber2 NVarchar(355),\r\n"
      " FName2 NVarchar(355),\r\n"
      " FItemID int,\r\n"
      " FNumber NVARCHAR(355),\r\n"
      " FName NVARCHAR(355))\r\n"
      "\r\n"
      " Insert Into #ItemLevel \r\n"
      " SELECT FItemClassID, \r\n"
      "\r\n"
      " Case When CharIndex('.',FFullNumber)-1= -1  THEN FNumber \r\n"
      "      ELSE SUBSTRING(FNumber, 1,CharIndex('.',FFullNumber)-1)  END, \r\n"
      " '',\r\n"
      "\r\n"
      " Case When CharIndex('.',FFullNumber)-1= -1  THEN Null \r\n"
      "When CharIndex('.',FFullNumber,CharIndex('.',FFullNumber)+1)-1= -1  THEN FNumber \r\n"
      "      ELSE SUBSTRING(FNumber, 1,CharIndex('.',FFullNumber,CharIndex('.',FFullNumber)+1)-1)  END, \r\n"
      " '',\r\n"
      " FItemID,FNumber,FName From t_Item\r\n"
      " Where FItemClassID=8\r\n"
      " ##ITEMFILTER##"
      "\r\n"
      " Update t0 SET t0.FName1=t1.FName,t0.FName2=t2.FName\r\n"
      " From #ItemLevel t0"
      " left join t_Item t1 On t0.FNumber1=t1.FNumber  COLLATE Chinese_PRC_CI_AS   AND t1.FItemClassID=8"
      " AND t0.FItemClassID=t1.FItemClassID \r\n"
      " left join t_Item t2 On t0.FNumber2=t2.FNumber  COLLATE Chinese_PRC_CI_AS   AND t2.FItemClassID=8"
      " AND t0.FItemClassID=t2.FItemClassID \r\n";
  const ConditionDictionary dct = Dict({{"FLvlFrom", 1}, {"FLvlTo", "2"}});
  EXPECT_EQ(ItemLevel(8, dct, 0), expected);
}

TEST(GetItemLevelSQL, DefaultRangeIsOneToFiveUnlessLvlKeysSayOtherwise) {
  const std::string defaults = ItemLevel(8, ConditionDictionary(), 0);
  EXPECT_EQ(Count(defaults, " NVarchar(355),\r\n"), 10u);
  EXPECT_NE(defaults.find(" FNumber5 NVarchar(355),\r\n FName5 NVarchar(355),\r\n FItemID int,"), std::string::npos);
  EXPECT_EQ(defaults.find("FNumber6"), std::string::npos);
  // FLvlFrom/FLvlTo of exactly 1 and 5 (given, empty or absent) defer to LvlFrom/LvlTo.
  const std::string two_three = ItemLevel(8, Dict({{"FLvlFrom", ""}, {"FLvlTo", 5}, {"LvlFrom", 2}, {"LvlTo", 3}}), 0);
  EXPECT_NE(two_three.find(" FItemClassID int, \r\n FNumber2 NVarchar(355),"), std::string::npos);
  EXPECT_NE(two_three.find(" FName3 NVarchar(355),\r\n FItemID int,"), std::string::npos);
  const std::string own = ItemLevel(8, Dict({{"FLvlFrom", 2}, {"FLvlTo", 2}, {"LvlFrom", 1}, {"LvlTo", 1}}), 0);
  EXPECT_EQ(Count(own, " NVarchar(355),\r\n"), 2u);
  EXPECT_NE(own.find("FNumber2"), std::string::npos);
}

TEST(GetItemLevelSQL, CurrencyViewUsesTheItemClassListEverywhere) {
  const std::string batch = ItemLevel(0, Dict({{"View", 1}, {"FItemClassID", "(1,8)"}}), 0);
  EXPECT_EQ(Count(batch, "FItemClassID in (1,8)"), 6u);  // the insert and five joins
  EXPECT_NE(batch.find(" Where FItemClassID in (1,8)\r\n ##ITEMFILTER##"), std::string::npos);
  EXPECT_EQ(batch.find("FItemClassID=0"), std::string::npos);
  // Without a list the default class 2 stands there.
  EXPECT_NE(ItemLevel(0, Dict({{"View", "1"}}), 0).find(" Where FItemClassID in 2\r\n"), std::string::npos);
}

TEST(GetItemLevelSQL, ItemClassListMustBeNumbers) {
  for (const char* list : {"(1,8));DROP TABLE t_Item--", "1 OR 1=1", "(1;8)", ""}) {
    test::ExpectRaises([&] { ItemLevel(0, Dict({{"View", 1}, {"FItemClassID", list}}), 0); },
                       platform::kErrTypeMismatch);
  }
}

TEST(GetItemLevelSQL, PlaceholderOnceAtTheEndOfTheInsert) {
  const std::string batch = ItemLevel(2, Dict({{"FLvlFrom", 1}, {"FLvlTo", 3}}), 0);
  EXPECT_EQ(Count(batch, "##ITEMFILTER##"), 1u);
  EXPECT_NE(batch.find(" Where FItemClassID=2\r\n ##ITEMFILTER##\r\n Update t0 SET "), std::string::npos);
}

TEST(GetItemLevelSQL, NameStyleOneShowsTheNumberInBrackets) {
  const std::string batch = ItemLevel(4, Dict({{"FLvlFrom", 2}, {"FLvlTo", 2}}), 1);
  EXPECT_NE(batch.find(" Update t0 SET t0.FName2='[' + t2.FNumber + ']'+ t2.FName\r\n From"), std::string::npos);
}

TEST(GetItemLevelSQL, NoDictionaryOrReversedRange) {
  EXPECT_EQ(GetItemLevelSQL(8, nullptr, 0), "");
  // No level columns; the update loses the blank of "SET " and the database rejects it.
  const std::string reversed = ItemLevel(8, Dict({{"FLvlFrom", 3}, {"FLvlTo", 2}}), 0);
  EXPECT_NE(reversed.find(" FItemClassID int, \r\n FItemID int,"), std::string::npos);
  EXPECT_NE(reversed.find("\r\n Update t0 SET\r\n From #ItemLevel t0"), std::string::npos);
}

TEST(GetItemLevelSQL, LevelsMustBeNumbersWithinTheDeepestLevel) {
  const std::pair<ConditionDictionary, int32_t> cases[] = {
      {Dict({{"FLvlFrom", "1;"}, {"FLvlTo", 2}}), platform::kErrTypeMismatch},
      {Dict({{"FLvlFrom", 1}, {"FLvlTo", 100000000}}), platform::kErrInvalidProcedureCall},
      {Dict({{"FLvlFrom", -2000000000}, {"FLvlTo", 3}}), platform::kErrInvalidProcedureCall},
  };
  for (const auto& [dct, number] : cases) {
    const auto& conditions = dct;  // clang 14 lambdas take no structured bindings
    test::ExpectRaises([&] { ItemLevel(8, conditions, 0); }, number);
  }
  EXPECT_THROW(GetMgAcctLevelSQL(1, 2000000000), platform::AutomationError);
  EXPECT_NE(ItemLevel(8, Dict({{"FLvlFrom", 1}, {"FLvlTo", 64}}), 0).find("FName64"), std::string::npos);
}

TEST(GetMgAcctLevelSQL, LevelsTwoAndThree) {
  const std::string q2 = "CharIndex('.',FNumber,CharIndex('.',FNumber)+1)";
  const std::string q3 = "CharIndex('.',FNumber," + q2 + "+1)";
  const std::string expected =
      "IF OBJECT_ID('tempdb..#ItemLevel')<>0 DROP TABLE #ItemLevel\r\n"
      "CREATE TABLE #ItemLevel( \r\n"
      " FNumber2 NVarchar(355),\r\n"
      " FName2 NVarchar(355),\r\n"
      " FNumber3 NVarchar(355),\r\n"
      " FName3 NVarchar(355),\r\n"
      " FItemID int,\r\n"
      " FNumber NVARCHAR(355),\r\n"
      " FName NVARCHAR(355))\r\n"
      "\r\n"
      " Insert Into #ItemLevel SELECT  \r\n"
      " Case When " + q2 + "-1= -1 or FLevel<3 THEN NULL ELSE SUBSTRING(FNumber, 1," + q2 + "-1)  END, \r\n"
      " '',\r\n"
      " Case When " + q3 + "-1= -1 or FLevel<4 THEN NULL ELSE SUBSTRING(FNumber, 1," + q3 + "-1)  END, \r\n"
      " '',\r\n"
      " FMgAcctID AS FItemID,FNumber,FName From t_MgAcct\r\n"
      " Where FDetail=1 ##ITEMFILTER##"
      "\r\n"
      " Update t0 SET t0.FName2=t2.FName,t0.FName3=t3.FName\r\n"
      " From #ItemLevel t0"
      " left join t_MgAcct t2 On t0.FNumber2=t2.FNumber COLLATE Chinese_PRC_CI_AS  AND t2.FDetail=0 \r\n"
      " left join t_MgAcct t3 On t0.FNumber3=t3.FNumber COLLATE Chinese_PRC_CI_AS  AND t3.FDetail=0 \r\n";
  EXPECT_EQ(GetMgAcctLevelSQL(2, 3), expected);
}

}  // namespace
}  // namespace orv::toolkit
