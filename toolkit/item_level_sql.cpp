// GetItemLevelSQL and GetMgAcctLevelSQL: the batch that builds #ItemLevel, one
// row per item with the number and name of its ancestor at each level of a
// range. Levels are the "."-separated parts of the hierarchical number; the
// ancestor at level i is the prefix before the i-th ".".
#include "platform/automation_error.h"
#include "toolkit/report_toolkit.h"
#include "toolkit/sql_literal.h"
#include "toolkit/sql_text.h"

namespace orv::toolkit {

namespace {

// Numbers in the ERP never come near this depth; the cap keeps a wild level
// range from making a text that grows with the cube of the level.
constexpr int64_t kDeepestLevel = 64;

// The position of the next "." after `position` in `column`.
std::string NextDot(std::string_view column, const std::string& position) {
  return "CharIndex('.'," + std::string(column) + "," + position + "+1)";
}

// The position of the k-th "." in `column`; levels below 1 use the first ".".
std::string DotPosition(std::string_view column, int32_t k) {
  std::string position = "CharIndex('.'," + std::string(column) + ")";
  for (int32_t j = 2; j <= k; ++j) position = NextDot(column, position);
  return position;
}

// The three parts of the batch and the from-clause of its update, grown level
// by level and joined at the end.
struct LevelBatch {
  std::string create = "IF OBJECT_ID('tempdb..#ItemLevel')<>0 DROP TABLE #ItemLevel\r\nCREATE TABLE #ItemLevel( \r\n";
  std::string insert;
  std::string update = " Update t0 SET ";
  std::string from_clause = " From #ItemLevel t0";

  void AddLevelColumns(int32_t i) {
    const std::string level = std::to_string(i);
    create += " FNumber" + level + " NVarchar(355),\r\n";
    create += " FName" + level + " NVarchar(355),\r\n";
  }

  std::string Finish() {
    update.pop_back();  // the "," after the last level, or the blank of "SET " when there is none
    update += std::string(kCrLf) + from_clause;
    create += " FItemID int,\r\n FNumber NVARCHAR(355),\r\n FName NVARCHAR(355))\r\n";
    return create + std::string(kCrLf) + insert + std::string(kCrLf) + update;
  }
};

// FLvlFrom/FLvlTo may be present but empty; that reads as the default.
int32_t LevelOf(const platform::Variant& value, int32_t fallback) {
  return value.TextLength() == 0 ? fallback : value.ToLong();
}

}  // namespace

void CheckLevelRange(int32_t from, int32_t to) {
  if (from > to) return;
  if (to > kDeepestLevel || int64_t{to} - from >= kDeepestLevel) {
    throw platform::AutomationError(platform::kErrInvalidProcedureCall, "Orvalent",
                                    "The level range " + std::to_string(from) + " to " + std::to_string(to) +
                                        " goes past level " + std::to_string(kDeepestLevel) + ".");
  }
}

std::string GetItemLevelSQL(int32_t lItemClassID, const platform::ConditionDictionary* dct, int32_t lNameStyle) {
  if (dct == nullptr) return "";
  int32_t from = LevelOf(dct->GetValue("FLvlFrom", platform::Variant(1)), 1);
  int32_t to = LevelOf(dct->GetValue("FLvlTo", platform::Variant(5)), 5);
  if (from == 1 && to == 5) {
    from = LevelOf(dct->GetValue("LvlFrom", platform::Variant(1)), 1);
    to = LevelOf(dct->GetValue("LvlTo", platform::Variant(5)), 5);
  }
  CheckLevelRange(from, to);

  // The view by currency spans several item classes, given as a list.
  const bool view = platform::Equals(dct->GetValue("View", platform::Variant(0)), platform::Variant(1));
  const std::string classes = view ? ItemClassList(dct->GetValue("FItemClassID", platform::Variant(2))) : "";
  const std::string item_class = std::to_string(lItemClassID);

  LevelBatch batch;
  batch.create += " FItemClassID int, \r\n";
  batch.insert = " Insert Into #ItemLevel \r\n SELECT FItemClassID, \r\n";
  for (int32_t i = from; i <= to; ++i) {
    const std::string level = std::to_string(i);
    const std::string t = "t" + level;
    batch.AddLevelColumns(i);

    // Null above level i, the number itself at level i, else the prefix.
    batch.insert += "\r\n Case ";
    for (int32_t j = 1; j <= i; ++j) {
      batch.insert += "When " + DotPosition("FFullNumber", j) + "-1= -1 ";
      batch.insert += j == i ? " THEN FNumber \r\n" : " THEN Null \r\n";
    }
    batch.insert += "      ELSE SUBSTRING(FNumber, 1," + DotPosition("FFullNumber", i) + "-1)  END, \r\n";
    batch.insert += " '',\r\n";

    batch.update += lNameStyle == 1 ? "t0.FName" + level + "='[' + " + t + ".FNumber + ']'+ " + t + ".FName,"
                                    : "t0.FName" + level + "=" + t + ".FName,";

    batch.from_clause += " left join t_Item " + t + " On t0.FNumber" + level + "=" + t +
                         ".FNumber  COLLATE Chinese_PRC_CI_AS  ";
    batch.from_clause += view ? " AND " + t + ".FItemClassID in " + classes : " AND " + t + ".FItemClassID=" + item_class;
    batch.from_clause += " AND t0.FItemClassID=" + t + ".FItemClassID \r\n";
  }
  batch.insert += " FItemID,FNumber,FName From t_Item\r\n";
  batch.insert += view ? " Where FItemClassID in " + classes + "\r\n" : " Where FItemClassID=" + item_class + "\r\n";
  batch.insert += " ##ITEMFILTER##";
  return batch.Finish();
}

std::string GetMgAcctLevelSQL(int32_t lLvlFrom, int32_t lLvlTo) {
  CheckLevelRange(lLvlFrom, lLvlTo);
  LevelBatch batch;
  batch.insert = " Insert Into #ItemLevel SELECT  \r\n";
  // Built only for a range with levels: a far-off start must not cost a loop.
  std::string position = lLvlFrom <= lLvlTo ? DotPosition("FNumber", lLvlFrom) : "";
  for (int32_t i = lLvlFrom; i <= lLvlTo; ++i) {
    const std::string level = std::to_string(i);
    const std::string t = "t" + level;
    batch.AddLevelColumns(i);

    // Accounts at level i or above have no ancestor there.
    batch.insert += " Case When " + position + "-1= -1 or FLevel<" + std::to_string(int64_t{i} + 1) +
                    " THEN NULL ELSE SUBSTRING(FNumber, 1," + position + "-1)  END, \r\n";
    batch.insert += " '',\r\n";
    position = NextDot("FNumber", position);

    batch.update += "t0.FName" + level + "=" + t + ".FName,";
    // Ancestors are the non-detail accounts.
    batch.from_clause += " left join t_MgAcct " + t + " On t0.FNumber" + level + "=" + t +
                         ".FNumber COLLATE Chinese_PRC_CI_AS  AND " + t + ".FDetail=0 \r\n";
  }
  batch.insert += " FMgAcctID AS FItemID,FNumber,FName From t_MgAcct\r\n Where FDetail=1 ##ITEMFILTER##";
  return batch.Finish();
}

}  // namespace orv::toolkit
