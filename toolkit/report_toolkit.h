// The SQL routines the grouped reports share: which detail columns to group by
// and the level table of the outermost one, the item level tables themselves,
// the FSumSort classification of rollup rows with their label updates, and the
// number and name joins of the group columns. They only build text; the
// reports run it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "frame/cparse.h"
#include "platform/host_objects.h"

namespace orv::toolkit {

// The group columns of the detail table, comma-terminated, in the order of the
// positions the grouping keys hold ("0" outermost), followed by "T1.FRptID,".
// With View set the currency column leads. bFlag is accepted and unused.
// Re-raises any error with source CR LF + "Orvalent.ModPubRPT_Mid.GetGroupField".
std::string GetGroupField(const platform::ConditionDictionary& dct, bool bFlag);

// Sets lCode to the base-data class of the outermost group field (kept when no
// rule applies; -1 for management accounts, ten times the class for an
// item-class grouping) and returns the batch that builds #ItemLevel for it, or
// "". Re-raises with source CR LF + "Orvalent.modPubRpt_Mid.GetLvlSQL".
std::string GetLvlSQL(const platform::ConditionDictionary& dct, int32_t& lCode);

// The #ItemLevel batch for class lItemClassID of t_Item over the level range
// of dct (FLvlFrom/FLvlTo, else LvlFrom/LvlTo). lNameStyle 1 writes level names
// as "[number]name". No dictionary gives "". The insert part ends with the
// placeholder " ##ITEMFILTER##" for the caller's restriction. Raises 13 for a
// non-numeric level or item-class list, 5 for a range past the deepest level.
std::string GetItemLevelSQL(int32_t lItemClassID, const platform::ConditionDictionary* dct, int32_t lNameStyle);

// Refuses (error 5) a level range past the deepest level the level tables
// build; a range with from > to is allowed (it has no level columns).
void CheckLevelRange(int32_t from, int32_t to);

// The #ItemLevel batch of the detail accounts of t_MgAcct for a level range.
std::string GetMgAcctLevelSQL(int32_t lLvlFrom, int32_t lLvlTo);

// The ",CASE ... END AS FSumSort" select fragment for a group column list, and
// in the out texts the updates that label the total and subtotal rows of
// #TmpResult in the language of oParse. A list without "." gives "" and leaves
// the out texts alone. Re-raises with source CR LF + "Orvalent.modPubRPT_Mid.GetSortSQL".
std::string GetSortSQL(std::string_view sGroupFields, std::string& sTotalUpdate, std::string& sSubtotalUpdate,
                       const frame::CParse& oParse);

// Turns the group column list in sGroup into the select list that adds number
// and name columns (returned), the LEFT JOINs that fetch them (sJoin) and the
// joined number and name columns (back in sGroup). oSpare is not used.
std::string GetJoinSQL(std::string& sGroup, std::string& sJoin, const platform::ConditionDictionary& dct,
                       const frame::CParse& oSpare);

}  // namespace orv::toolkit
