// GetJoinSQL: for each group column of a rollup, the number and name columns
// of its base data, the LEFT JOINs that fetch them and the joined columns as a
// group list. Columns without base data (the report identifier, level
// columns, the empty tail of the list) add nothing.
#include <array>
#include <vector>

#include "toolkit/report_toolkit.h"
#include "toolkit/sql_text.h"

namespace orv::toolkit {

namespace {

struct JoinRow {
  std::string_view element;
  std::string select;
  std::vector<std::string_view> joins;
  std::string_view group;
};

// The table of base data per group column; only the item-class row depends on
// the language, whose names are in a translated column of t_ItemClass.
std::array<JoinRow, 19> JoinRows(const std::string& name_column) {
  return {{
      {"t1.FAppDeptID", "t1.FAppDeptID,AppDep.FNumber AS FAppDeptNumber,AppDep.FName AS FAppDeptName,",
       {"Left Join t_Department AppDep ON t1.FAppDeptID=AppDep.FItemID"}, "AppDep.FNumber,AppDep.FName,"},
      {"t1.FUseDeptID", "t1.FUseDeptID,UseDep.FNumber AS FUseDeptNumber,UseDep.FName AS FUseDeptName,",
       {"Left Join t_Department UseDep ON t1.FUseDeptID=UseDep.FItemID"}, "UseDep.FNumber,UseDep.FName,"},
      {"t1.FAppUserID", "t1.FAppUserID,Emp.FNumber AS FAppUserNumber,Emp.FName AS FAppUserName,",
       {"Left Join t_Emp Emp ON t1.FAppUserID=Emp.FItemID"}, "Emp.FNumber,Emp.FName,"},
      {"t1.FSupplyID", "t1.FSupplyID,Sup.FNumber AS FSupplyNumber,Sup.FName AS FSupplyName,",
       {"Left Join t_Supplier Sup ON t1.FSupplyID=Sup.FItemID"}, "Sup.FNumber,Sup.FName,"},
      {"t1.FSupplyTypeID", "t1.FSupplyTypeID,ITM.FNumber AS FSupplyTypeNumber,ITM.FName AS FSupplyTypeName,",
       {"Left Join t_Item ITM On t1.FSupplyTypeID = ITM.FItemID "}, "ITM.FNumber,ITM.FName,"},
      {"t1.FItemID", "t1.FItemID,Item.FNumber AS FItemNumber,Item.FName AS FItemName,",
       {"Left Join t_ICItem Item ON t1.FItemID=Item.FItemID"}, "Item.FNumber,Item.FName,"},
      {"t1.FPayDeptID", "PayDep.FNumber AS FPayDeptNumber,PayDep.FName AS FPayDeptName,",
       {"Left Join t_Department PayDep ON t1.FPayDeptID=PayDep.FItemID"}, "PayDep.FNumber,PayDep.FName,"},
      {"t1.FPayProductID", "Pro.FNumber AS FPayProductNumber,Pro.FName AS FPayProductName,",
       {"Left Join t_item Pro ON t1.FPayProductID=Pro.FItemID and Pro.FItemClassID=4 "}, "Pro.FNumber,Pro.FName,"},
      {"t1.FExpenseItemID", "Exp.FNumber AS FExpenseItemNumber,Exp.FName AS FExpenseItemName,",
       {"Left Join t_Base_BudgetItem Exp ON t1.FExpenseItemID=Exp.FItemID"}, "Exp.FNumber,Exp.FName,"},
      {"t1.FItemClassID",
       "Item.FNumber AS FItemClassNumber,Item." + name_column +
           " AS FItemClassName,IT.FNumber AS FItemNumber,IT.FName AS FItemName, ",
       {"Left Join t_Item IT ON t1.FItemID=IT.FItemID",
        "Left Join t_ItemClass Item ON t1.FItemClassID=Item.FItemClassID "},
       "Item.FNumber,Item.FName,IT.FNumber,IT.FName, "},
      {"t1.FEmpID", "Emp.FNumber AS EmpNumber,Emp.FName AS EmpName,",
       {"Left Join t_Emp Emp ON t1.FEmpID=Emp.FItemID"}, "Emp.FNumber,Emp.FName,"},
      {"t1.FMgAcctID", "MG.FNumber AS MgAcctNumber,MG.FName AS MgAcctName,",
       {"Left Join t_MgAcct MG ON t1.FMgAcctID=MG.FMgAcctID"}, "MG.FNumber,MG.FName,"},
      {"t1.FDeptID", "Dep.FNumber AS DepartmentNumber,Dep.FName AS DepartmentName,",
       {"Left Join t_Department Dep ON t1.FDeptID=Dep.FItemID"}, "Dep.FNumber,Dep.FName,"},
      {"t1.FExpID", "Exp.FNumber AS ExpNumber,Exp.FName AS ExpName,",
       {"Left Join t_Base_BudgetItem Exp ON t1.FExpID=Exp.FItemID"}, "Exp.FNumber,Exp.FName,"},
      {"t1.FCurrencyID", "Cur.FNumber AS FCurNumber,Cur.FName AS FCurName,Cur.FScale AS FAmtDecimal, \r\n",
       {"Left Join t_Currency Cur ON T1.FCurrencyID=Cur.FCurrencyID "}, "Cur.FNumber,Cur.FName,Cur.FScale,"},
      {"t1.FRespCenterID", "tbr.FNumber AS FRespCenterNumber,tbr.FName AS FRespCenterName,\r\n",
       {"Left Join t_Base_RespCenter tbr On T1.FRespCenterID = tbr.FItemID "}, "tbr.FNumber,tbr.FName,"},
      {"t1.FSpecProjectID", "tbs.FNumber AS FSpecProjectNumber,tbs.FName AS FSpecProjectName,\r\n",
       {"Left Join t_Base_SpecialProject tbs On T1.FSpecProjectID = tbs.FItemID "}, "tbs.FNumber,tbs.FName,"},
      {"t1.FFeeID", "t1.FFeeID,Fee.FNumber AS FFeeNumber,Fee.FName AS FFeeName,",
       {"Left Join t_Fee Fee ON t1.FFeeID = Fee.FItemID"}, "Fee.FNumber,Fee.FName,"},
      {"t1.FExpenseTypeID", "t1.FExpenseTypeID,SMG.FID AS FExpenseTypeNumber,SMG.FName AS FExpenseTypeName,",
       {"Left Join t_subMessage SMG On t1.FExpenseTypeID = SMG.FInterID And SMG.FTypeID=411"}, "SMG.FID,SMG.FName,"},
  }};
}

std::string NameColumn(const platform::ConditionDictionary& dct) {
  const std::string language = UpperText(dct.GetValue("LanguageID", platform::Variant("")).ToString());
  if (language == "EN") return "FName_en";
  if (language == "CHT") return "FName_cht";
  return "FName";
}

}  // namespace

std::string GetJoinSQL(std::string& sGroup, std::string& sJoin, const platform::ConditionDictionary& dct,
                       const frame::CParse& /*oSpare*/) {
  const std::array<JoinRow, 19> rows = JoinRows(NameColumn(dct));
  const std::vector<std::string> elements = SplitText(sGroup, ',');
  std::string select;
  sGroup.clear();
  sJoin.clear();
  for (const std::string& element : elements) {
    // Compared whole, so a name with a blank behind it matches nothing.
    const std::string upper = UpperText(element);
    for (const JoinRow& row : rows) {
      if (upper != UpperText(row.element)) continue;
      select += row.select;
      for (std::string_view join : row.joins) sJoin.append(join).append(kCrLf);
      sGroup += row.group;
    }
  }
  // The view by currency leads with the currency, as its group list does.
  if (!platform::Equals(dct.GetValue("View", platform::Variant(0)), platform::Variant(0))) {
    sGroup = "Cur.FNumber,Cur.FName,Cur.FScale," + sGroup + std::string(kCrLf);
  }
  return select;
}

}  // namespace orv::toolkit
