// A report's rows as the viewer shows them: captions in the session
// language, numbers rounded by their row's precision columns, internal
// columns left out, every row with its kind and subtotal level. The grid,
// the CSV and the XLSX export are all made from it, so they agree.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "frame/report_schema.h"
#include "results/report_view.h"
#include "results/result_table.h"

namespace orv::http {

struct ShownColumn {
  std::string name;     // the record set's field name
  std::string caption;  // in the session language
  std::string type;     // as SQL names it
  bool numeric = false;
};

struct ShownRow {
  results::RowClass row_class;
  std::vector<results::Cell> cells;
};

struct ShownResult {
  std::string report;  // "2010001"
  std::string title;   // in the session language
  std::string language;
  std::vector<ShownColumn> columns;
  std::vector<ShownRow> rows;
};

ShownResult ShowResult(const results::ResultTable& raw, const frame::ReportSchema& schema, std::string_view language);

// {"report", "title", "language", "columns": [{"name", "caption", "type", "numeric"}],
//  "rows": [{"kind": "detail"|"subtotal"|"total", "level", "cells": [text or null]}]}.
// Numbers stay exact texts, so nothing is lost to floating point on the way.
nlohmann::json ResultJson(const ShownResult& result);

std::string_view RowKindName(results::RowKind kind);

// `text` without the zeros that end its fraction ("13.0000" -> "13", "0.50" -> "0.5").
std::string TrimFractionZeros(std::string text);

// The shown rows in the order a clerk asked for: each run of detail rows
// between two summary rows sorted by `column` (numbers by value, texts by
// their bytes, NULL first), stably; summary rows stay where the report put them.
std::vector<size_t> SortedRowOrder(const ShownResult& result, size_t column, bool descending);

}  // namespace orv::http
