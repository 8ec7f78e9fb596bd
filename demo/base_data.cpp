// Base data of the generated scales. Numbers are hierarchical ("01", "01.02",
// "01.02.003"): parents sit in t_Item only (FDetail 0), detail leaves also in
// their class's own table under the same FItemID.
#include "demo/base_data.h"

#include <array>
#include <functional>
#include <string>

namespace orv::demo {

namespace {

struct Leaf {
  int id = 0;
  std::string number;
  std::string name;
};

using NameFn = std::function<std::string(Random&, int index)>;

std::string Padded(int value, int width) {
  std::string digits = std::to_string(value);
  return std::string(digits.size() < static_cast<size_t>(width) ? width - digits.size() : 0, '0') + digits;
}

template <size_t N>
std::string Choose(Random& random, const std::array<const char*, N>& words) {
  return words[static_cast<size_t>(random.Between(0, N - 1))];
}

// Writes one class as a tree of up to three levels into t_Item and returns its
// `count` detail leaves. About one level-2 node in seven is itself a leaf, so
// detail items sit at two depths as in a real chart of items. With `blank_every`
// above 0, every so many leaf numbers carry two trailing blanks, as numbers keyed
// in by hand do (the item tree and the class table then both hold them so).
std::vector<Leaf> WriteTree(Random& random, TableWriter& items, int& next_id, int class_id, int count,
                            const NameFn& leaf_name, const std::string& group_word, int blank_every = 0) {
  // The smallest fanout whose cube holds `count`, in integers: a floating-point
  // root may round differently on another machine and change the data.
  int fanout = 2;
  while (fanout * fanout * fanout < count) ++fanout;
  const int leaves_per_group = count / (fanout * fanout) + 2;
  std::vector<Leaf> leaves;
  auto write = [&](std::string number, const std::string& name, bool detail) {
    const int id = next_id++;
    if (detail && blank_every > 0 && leaves.size() % blank_every == 7) number += "  ";
    items.Row().Int(id).Int(class_id).Text(number).Text(name).Text(number).Int(detail ? 1 : 0);
    if (detail) leaves.push_back(Leaf{id, number, name});
  };
  for (int a = 1; static_cast<int>(leaves.size()) < count; ++a) {
    const std::string top = Padded(a, 2);
    write(top, group_word + " " + top, false);
    for (int b = 1; b <= fanout && static_cast<int>(leaves.size()) < count; ++b) {
      const std::string middle = top + "." + Padded(b, 2);
      if (random.Percent(15)) {
        write(middle, leaf_name(random, static_cast<int>(leaves.size())), true);
        continue;
      }
      write(middle, group_word + " " + middle, false);
      for (int c = 1; c <= leaves_per_group && static_cast<int>(leaves.size()) < count; ++c) {
        write(middle + "." + Padded(c, 3), leaf_name(random, static_cast<int>(leaves.size())), true);
      }
    }
  }
  return leaves;
}

// Writes the class's own table: the tree's leaves, whose ids go to `ids`, and
// an edge item written beside them but left out of `ids`.
void WriteEntities(const BatchSink& sink, const char* table, const std::vector<Leaf>& leaves,
                   std::vector<int>& ids, const Leaf* apart = nullptr) {
  TableWriter writer(sink, table, "FItemID,FNumber,FName");
  for (const Leaf& leaf : leaves) {
    writer.Row().Int(leaf.id).Text(leaf.number).Text(leaf.name);
    ids.push_back(leaf.id);
  }
  if (apart) writer.Row().Int(apart->id).Text(apart->number).Text(apart->name);
}

std::string SupplierName(Random& random, int index) {
  static const std::array<const char*, 8> cities = {"上海", "北京", "深圳", "广州", "杭州", "苏州", "Tianjin", "Wuxi"};
  static const std::array<const char*, 8> cores = {"精工", "远大", "机电", "华信", "恒通", " Prime", " Allied", " O'Neil"};
  static const std::array<const char*, 4> suffixes = {"有限公司", "贸易公司", " Co., Ltd.", " Supply"};
  return Choose(random, cities) + Choose(random, cores) + Choose(random, suffixes) + " " + std::to_string(index + 1);
}

std::string DepartmentName(Random& random, int index) {
  static const std::array<const char*, 8> names = {"行政部", "财务部", "工程部", "设备科", "采购部", "Sales", "IT Dept", "仓储部"};
  return Choose(random, names) + std::to_string(index + 1);
}

std::string EmployeeName(Random& random, int index) {
  static const std::array<const char*, 8> surnames = {"张", "王", "李", "赵", "陈", "刘", "O'Brien ", "Smith "};
  static const std::array<const char*, 7> given = {"伟", "芳", "娜", "敏", "静", "Pat", "Lee"};
  return Choose(random, surnames) + Choose(random, given) + std::to_string(index + 1);
}

std::string ItemName(Random& random, int index) {
  static const std::array<const char*, 10> names = {"笔记本电脑", "台式机", "打印机", "服务器", "办公桌",
                                                    "办公椅",     "空调",   "叉车",   "Router", "Monitor"};
  return Choose(random, names) + " " + std::to_string(index + 1);
}

std::string FeeName(Random& random, int index) {
  static const std::array<const char*, 6> names = {"运输费", "安装费", "调试费", "保险费", "Freight", "Customs"};
  return Choose(random, names) + std::to_string(index + 1);
}

std::string PlainName(const char* word, int index) { return word + std::to_string(index + 1); }

void WriteItemClasses(const BatchSink& sink) {
  struct ClassRow {
    int id;
    const char *number, *name, *name_en, *name_cht;
  };
  static const std::array<ClassRow, 9> classes = {{{2, "002", "部门", "Department", "部門"},
                                                   {3, "003", "职员", "Employee", "職員"},
                                                   {4, "004", "物料", "Item", "物料"},
                                                   {8, "008", "供应商", "Supplier", "供應商"},
                                                   {2014, "2014", "费用", "Fee", "費用"},
                                                   {2035, "2035", "预算科目", "Budget item", "預算科目"},
                                                   {2036, "2036", "项目", "Project", "項目"},
                                                   {2040, "2040", "责任中心", "Responsibility centre", "責任中心"},
                                                   {2041, "2041", "专项", "Special project", "專項"}}};
  TableWriter writer(sink, "t_ItemClass", "FItemClassID,FNumber,FName,FName_en,FName_cht");
  for (const ClassRow& row : classes) {
    writer.Row().Int(row.id).Text(row.number).Text(row.name).Text(row.name_en).Text(row.name_cht);
  }
}

void WriteUnitsAndCurrencies(const BatchSink& sink, BaseData& base) {
  struct UnitRow {
    const char* name;
    int coefficient;
  };
  static const std::array<UnitRow, 8> units = {
      {{"台", 1}, {"张", 1}, {"箱", 12}, {"把", 0}, {"套", 1}, {"个", 1}, {"千克", 1}, {"打", 12}}};
  TableWriter unit_writer(sink, "t_MeasureUnit", "FMeasureUnitID,FItemID,FName,FCoefficient");
  for (size_t i = 0; i < units.size(); ++i) {
    const int id = static_cast<int>(i) + 1;
    unit_writer.Row().Int(id).Int(id).Text(units[i].name).Int(units[i].coefficient);
    base.units.push_back(UnitRef{id, units[i].coefficient});
  }
  struct CurrencyRow {
    const char *number, *name;
    int scale;  // -1: no scale recorded
    int rate;
  };
  static const std::array<CurrencyRow, 6> currencies = {{{"RMB", "人民币", 2, 100},
                                                        {"USD", "美元", 2, 720},
                                                        {"EUR", "欧元", -1, 780},
                                                        {"JPY", "日元", 0, 5},
                                                        {"KWD", "科威特第纳尔", 3, 2300},
                                                        {"HKD", "港币", 2, 92}}};
  TableWriter currency_writer(sink, "t_Currency", "FCurrencyID,FNumber,FName,FScale");
  for (size_t i = 0; i < currencies.size(); ++i) {
    const int id = static_cast<int>(i) + 1;
    const CurrencyRow& row = currencies[i];
    currency_writer.Row().Int(id).Text(row.number).Text(row.name).IntOrNull(row.scale >= 0, row.scale);
    base.currencies.push_back(CurrencyRef{id, row.rate});
  }
}

void WriteReferenceTables(Random& random, const BaseSizes& sizes, const BatchSink& sink, BaseData& base) {
  {
    TableWriter writer(sink, "t_User", "FUserID,FName");
    for (int id = 1; id <= sizes.users; ++id) {
      writer.Row().Int(id).Text(id == 1 ? std::string("管理员") : id == 3 ? std::string("D'Arcy")
                                                                         : PlainName("用户", id - 1));
      base.users.push_back(id);
    }
  }
  {
    TableWriter stocks(sink, "t_Stock", "FItemID,FName");
    for (int i = 0; i < 5; ++i) {
      stocks.Row().Int(900 + i).Text(PlainName("仓库", i));
      base.stocks.push_back(900 + i);
    }
    TableWriter places(sink, "t_StockPlace", "FSPID,FName");
    for (int i = 0; i < 20; ++i) {
      places.Row().Int(i + 1).Text("A-" + Padded(i + 1, 2));
      base.places.push_back(i + 1);
    }
    TableWriter aux(sink, "t_AuxItem", "FItemID,FName");
    for (int i = 0; i < 20; ++i) {
      aux.Row().Int(800 + i).Text(i % 2 == 0 ? PlainName("颜色", i) : PlainName("Size ", i));
      base.aux_items.push_back(800 + i);
    }
  }
  {
    static const std::array<const char*, 8> expense_types = {"运杂费", "安装调试费", "保险费", "报关费",
                                                             "仓储费", "Inspection", "Training", "其他"};
    TableWriter writer(sink, "t_subMessage", "FInterID,FTypeID,FID,FName");
    for (size_t i = 0; i < expense_types.size(); ++i) {
      const int id = 41101 + static_cast<int>(i);
      writer.Row().Int(id).Int(411).Text(Padded(static_cast<int>(i) + 1, 2)).Text(expense_types[i]);
      base.expense_types.push_back(id);
    }
    // Another type's codes, which the expense-type join must not pick up.
    for (int i = 0; i < 3; ++i) writer.Row().Int(41201 + i).Int(412).Text(Padded(i + 1, 2)).Text(PlainName("其他", i));
  }
  {
    // Management accounts: three levels under four top accounts; only detail accounts get level rows.
    TableWriter writer(sink, "t_MgAcct", "FMgAcctID,FNumber,FName,FLevel,FDetail");
    int id = 1;
    for (int a = 1; a <= 4; ++a) {
      const std::string top = std::to_string(5000 + a);
      writer.Row().Int(id++).Text(top).Text(PlainName("管理费用", a - 1)).Int(1).Int(0);
      for (int b = 1; b <= 4; ++b) {
        const std::string middle = top + "." + Padded(b, 2);
        const bool detail = random.Percent(40);
        writer.Row().Int(id++).Text(middle).Text(PlainName("明细科目", b - 1)).Int(2).Int(detail ? 1 : 0);
        for (int c = 1; !detail && c <= 3; ++c) {
          writer.Row().Int(id++).Text(middle + "." + Padded(c, 2)).Text(PlainName("子目", c - 1)).Int(3).Int(1);
        }
      }
    }
  }
  {
    TableWriter profile(sink, "ICReportProfile", "FRptID,FUserID,FPlan,FKey,FValue,FStatus");
    profile.Row().Int(2010001).Int(1).Text("1").Text("FchkDisEnter").Text("1").Int(1);
    profile.Row().Int(2010001).Int(1).Text("默认方案").Text("FColumnOrder").Text("FDate,FInvoiceNumber,FSupplyName").Int(1);
    profile.Row().Int(2010005).Int(2).Text("0").Text("FchkDisEnter").Text("0").Int(1);
    profile.Row().Int(2010006).Int(2).Text("1").Text("FchkDisEnter").Text("1").Int(1);
    TableWriter procs(sink, "t_SupportedProc", "FProcName");
    for (const char* name : {"p_GetBillNo", "p_UpdateBillStatus", "p_CheckBill", "p_RptItemLevel"}) {
      procs.Row().Text(name);
    }
    // The ERP's own type codes; FActualType and FBindType are the ADO types.
    TableWriter types(sink, "t_DataTypeInfo",
                      "FDataType,FTypeName,FMaxPrecision,FMinScale,FMaxScale,FActualType,FBindType,FActualSize");
    types.Row().Int(1).Text("int").Null().Null().Null().Int(3).Int(3).Int(4);
    types.Row().Int(2).Text("decimal").Int(38).Int(0).Int(38).Int(131).Int(131).Null();
    types.Row().Int(3).Text("nvarchar").Int(4000).Null().Null().Int(202).Int(202).Null();
    types.Row().Int(4).Text("datetime").Null().Null().Null().Int(135).Int(135).Int(8);
    types.Row().Int(5).Text("decimal() identity").Int(38).Int(0).Int(0).Int(131).Int(131).Null();
    types.Row().Int(6).Text("smallint").Null().Null().Null().Int(2).Int(2).Int(2);
    types.Row().Int(7).Text("float").Null().Null().Null().Int(5).Int(5).Int(8);
    types.Row().Int(8).Text("varchar").Int(8000).Null().Null().Int(200).Int(200).Null();
    types.Row().Int(9).Text("bit").Null().Null().Null().Int(11).Int(11).Int(1);
    types.Row().Int(10).Text("money").Null().Null().Null().Int(6).Int(6).Int(8);
    types.Row().Int(11).Text("char").Int(8000).Null().Null().Int(129).Int(129).Null();
    types.Row().Int(12).Text("nchar").Int(4000).Null().Null().Int(130).Int(130).Null();
  }
}

}  // namespace

BaseData WriteBaseData(Random& random, const BaseSizes& sizes, const BatchSink& sink) {
  BaseData base;
  WriteItemClasses(sink);
  WriteUnitsAndCurrencies(sink, base);
  WriteReferenceTables(random, sizes, sink, base);

  int next_id = 1001;
  std::vector<Leaf> suppliers, departments, employees, items, fees;
  Leaf first_supplier, unnumbered_fee;
  {
    TableWriter tree(sink, "t_Item", "FItemID,FItemClassID,FNumber,FName,FFullNumber,FDetail");
    departments = WriteTree(random, tree, next_id, 2, sizes.departments, DepartmentName, "部门组");
    employees = WriteTree(random, tree, next_id, 3, sizes.employees, EmployeeName, "Team");
    items = WriteTree(random, tree, next_id, 4, sizes.items, ItemName, "物料类");
    suppliers = WriteTree(random, tree, next_id, 8, sizes.suppliers, SupplierName, "供应商组", 40);
    fees = WriteTree(random, tree, next_id, 2014, sizes.fees, FeeName, "费用类");
    WriteTree(random, tree, next_id, 2035, 6, [](Random&, int i) { return PlainName("预算科目", i); }, "预算");
    const std::vector<Leaf> projects =
        WriteTree(random, tree, next_id, 2036, 5, [](Random&, int i) { return PlainName("工程项目", i); }, "项目");
    for (const Leaf& leaf : projects) base.projects.push_back(leaf.id);
    WriteTree(random, tree, next_id, 2040, 4, [](Random&, int i) { return PlainName("责任中心", i); }, "中心");
    WriteTree(random, tree, next_id, 2041, 3, [](Random&, int i) { return PlainName("专项", i); }, "专项");
    // Written after every tree, so the numbering of the trees stays as it was.
    first_supplier = Leaf{next_id++, "00", "Acme 直供"};
    unnumbered_fee = Leaf{next_id++, "", "杂费"};
    tree.Row().Int(first_supplier.id).Int(8).Text(first_supplier.number).Text(first_supplier.name);
    tree.Text(first_supplier.number).Int(1);
    tree.Row().Int(unnumbered_fee.id).Int(2014).Text(unnumbered_fee.number).Text(unnumbered_fee.name);
    tree.Text(unnumbered_fee.number).Int(1);
  }
  base.first_supplier = first_supplier.id;
  base.unnumbered_fee = unnumbered_fee.id;
  WriteEntities(sink, "t_Supplier", suppliers, base.suppliers, &first_supplier);
  WriteEntities(sink, "t_Department", departments, base.departments);
  WriteEntities(sink, "t_Emp", employees, base.employees);
  WriteEntities(sink, "t_Fee", fees, base.fees, &unnumbered_fee);

  TableWriter writer(sink, "t_ICItem", "FItemID,FNumber,FName,FModel,FUnitID,FSecUnitID,FQtyDecimal,FPriceDecimal");
  // Every 25th item has no secondary unit (0, which names no unit).
  int item_index = 0;
  for (const Leaf& leaf : items) {
    const UnitRef& unit = random.Pick(base.units);
    const UnitRef& second = random.Pick(base.units);
    const bool complete = !random.Percent(5);
    writer.Row().Int(leaf.id).Text(leaf.number).Text(leaf.name);
    if (random.Percent(20)) {
      writer.Null();
    } else {
      writer.Text("M-" + std::to_string(random.Between(100, 999)));
    }
    writer.Int(unit.id).Int(item_index++ % 25 == 0 ? 0 : second.id).IntOrNull(complete, random.Between(0, 4)).IntOrNull(complete, random.Between(2, 6));
    base.items.push_back(ItemRef{leaf.id, unit.id, complete});
    if (complete) base.complete_items.push_back(base.items.back());
  }
  return base;
}

}  // namespace orv::demo
