// The report command. The --show-sql hook is the connection
// layer's process-wide execute observer, so every batch of every connection
// the report opens is shown, the isolation-level statements included.
#include "cli/report_command.h"

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <ostream>
#include <stdexcept>

#include "cli/output_options.h"
#include "cli/sql_command.h"
#include "cli/table_sources.h"
#include "frame/report_frame.h"
#include "platform/automation_error.h"
#include "platform/class_registry.h"
#include "platform/connection.h"

namespace orv::cli {
namespace {

void PrintAutomationError(std::ostream& err, const platform::AutomationError& error) {
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%08X", static_cast<uint32_t>(error.number()));
  err << "Number: " << hex << " (" << error.number() << ")\n"
      << "Source: " << error.source() << '\n'
      << "Description: " << error.description() << '\n';
}

platform::Variant JsonToVariant(const std::string& key, const nlohmann::json& value) {
  if (value.is_string()) return platform::Variant(value.get<std::string>());
  if (value.is_boolean()) return platform::Variant(value.get<bool>());
  if (value.is_null()) return platform::Variant::Null();
  if (value.is_number_unsigned()) {
    const auto number = value.get<uint64_t>();
    if (number <= INT32_MAX) return platform::Variant(static_cast<int32_t>(number));
  } else if (value.is_number_integer()) {
    const auto number = value.get<int64_t>();
    if (number >= INT32_MIN && number <= INT32_MAX) return platform::Variant(static_cast<int32_t>(number));
  }
  if (value.is_number()) return platform::Variant(value.get<double>());
  throw std::runtime_error("Condition '" + key + "' must be a text, a number, a boolean or null.");
}

// Shows each batch as a script would hold it: the text, then a GO line.
class ShowSql {
 public:
  ShowSql(bool enabled, std::ostream& err) : enabled_(enabled) {
    if (enabled_) platform::SetExecuteObserver([&err](std::string_view batch) { err << batch << "\nGO\n"; });
  }
  ~ShowSql() {
    if (enabled_) platform::SetExecuteObserver({});
  }
  ShowSql(const ShowSql&) = delete;
  ShowSql& operator=(const ShowSql&) = delete;

 private:
  bool enabled_;
};

}  // namespace

std::string ReportProgId(const std::string& report) {
  if (!report.empty() && std::all_of(report.begin(), report.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return "Orvalent.CRPT" + report;
  }
  if (report.find('.') == std::string::npos) return "Orvalent." + report;
  return report;
}

void AddJsonConditions(platform::ConditionDictionary& dct, const std::string& json_text) {
  const nlohmann::json conditions = nlohmann::json::parse(json_text, nullptr, false);
  if (!conditions.is_object()) throw std::runtime_error("The conditions file must hold one JSON object.");
  for (const auto& [key, value] : conditions.items()) dct.Set(key, JsonToVariant(key, value));
}

int RunReportCommand(const ReportOptions& options, std::ostream& out, std::ostream& err) {
  auto dct = std::make_shared<platform::ConditionDictionary>();
  try {
    if (!options.conditions_file.empty()) AddJsonConditions(*dct, ReadInput(options.conditions_file));
    for (const std::string& condition : options.conditions) {
      const size_t equals = condition.find('=');
      if (equals == std::string::npos) throw std::runtime_error("Condition '" + condition + "' is not KEY=VALUE.");
      dct->Set(condition.substr(0, equals), platform::Variant(condition.substr(equals + 1)));
    }
  } catch (const std::exception& error) {
    err << error.what() << '\n';
    return 1;
  }

  try {
    const std::string prog_id = ReportProgId(options.report);
    auto report = std::dynamic_pointer_cast<frame::ReportFrame>(platform::CreateObject(prog_id));
    if (!report) {
      err << "'" << prog_id << "' is not a report class (it has no GetRptData).\n";
      return 1;
    }
    std::shared_ptr<platform::Recordset> rows;
    {
      const ShowSql show_sql(options.show_sql, err);
      rows = report->GetRptData(options.session, dct.get());
    }
    report.reset();  // the rows are detached: they outlive the report and its connection
    if (!rows || rows->State() != platform::adStateOpen) {
      err << "The report returned no open record set.\n";
      return 1;
    }
    const ResultTable table = FromRecordset(*rows);
    PrintResult(out, table, options.format);
    if (options.format == OutputFormat::Table) PrintRowCount(out, table.rows.size());
    return 0;
  } catch (const platform::AutomationError& error) {
    PrintAutomationError(err, error);
    return 1;
  }
}

void AddReportCommand(CommandLine& command_line) {
  auto options = std::make_shared<ReportOptions>();
  CLI::App& command = command_line.AddCommand(
      "report", "Run a report class's GetRptData the way the ERP client calls it and print the rows",
      [options] { return RunReportCommand(*options, std::cout, std::cerr); });
  command.footer(
      "The default session runs on the bundled demo database. Example:\n"
      "  orvalent report 2010001 --condition FBeginDate=2024-01-01 --session \"" +
      std::string(kDefaultSession) + "\"\n");
  command.add_option("report", options->report, "ProgID, class name or report number (e.g. 2010001)")->required();
  command.add_option("--session", options->session, "The session property string sDsn")->capture_default_str();
  command.add_option("--condition", options->conditions, "A condition KEY=VALUE (value as text); repeatable")
      ->allow_extra_args(false);
  command.add_option("--conditions", options->conditions_file,
                     "A JSON object of conditions (numbers become Long or Double values)");
  command.add_flag("--show-sql", options->show_sql,
                   "Print every batch the report runs, each followed by GO, to standard error");
  AddFormatOption(command, options->format);
}

}  // namespace orv::cli
