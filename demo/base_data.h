// Generated base data of the demo database: item classes, the hierarchical items
// of every class the reports group by, the same entities in their own tables,
// units, currencies, users and the small reference tables. Returns what the
// document generator needs to refer to.
#pragma once

#include <cstdint>
#include <vector>

#include "demo/random.h"
#include "demo/sql_writer.h"

namespace orv::demo {

struct BaseSizes {
  int suppliers = 0;
  int departments = 0;
  int employees = 0;
  int items = 0;
  int fees = 0;
  int users = 0;
};

struct ItemRef {
  int id = 0;
  int unit = 0;       // base unit (t_MeasureUnit)
  bool complete = true;  // has both precisions; requisitions need them
};

struct UnitRef {
  int id = 0;
  int coefficient = 1;  // 0 for the unit whose coefficient is 0
};

struct CurrencyRef {
  int id = 0;
  int rate = 100;  // local currency per unit, in hundredths
};

struct BaseData {
  // Edge items kept apart from the pools the documents draw from: a supplier
  // at the top whose number ("00") sorts before every other, a fee whose
  // number is empty. Only the expense invoices name them.
  int first_supplier = 0;
  int unnumbered_fee = 0;
  std::vector<int> suppliers, departments, employees, fees, expense_types, users, stocks, places, aux_items,
      projects;
  std::vector<ItemRef> items;
  std::vector<ItemRef> complete_items;
  std::vector<UnitRef> units;
  std::vector<CurrencyRef> currencies;
};

// Writes every base-data table through `sink` and returns the identifiers written.
BaseData WriteBaseData(Random& random, const BaseSizes& sizes, const BatchSink& sink);

}  // namespace orv::demo
