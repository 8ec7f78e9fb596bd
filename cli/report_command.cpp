// The report command. The --show-sql hook is the connection layer's
// process-wide execute observer, so every batch of every connection the
// report opens is shown, the isolation-level statements included.
#include "cli/report_command.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <memory>
#include <ostream>
#include <stdexcept>

#include "cli/automation_error_output.h"
#include "cli/output_options.h"
#include "cli/report_conditions.h"
#include "cli/report_listing.h"
#include "platform/automation_error.h"
#include "platform/class_registry.h"
#include "platform/connection.h"
#include "reports/report_catalog.h"
#include "results/report_run.h"
#include "results/recordset_table.h"
#include "results/report_view.h"
#include "toolkit/property_lookup.h"

namespace orv::cli {
namespace {

// Shows each batch as a script would hold it: the text, then a GO line; with
// timing, each batch's time follows as a comment once the next batch starts
// or the report returns (the time includes what the frame does between them):
// wall time, and the process's CPU time, which other load on the machine
// does not stretch.
class ShowSql {
 public:
  ShowSql(bool show, bool timing, std::ostream& err) : show_(show), timing_(timing), err_(err) {
    if (!show_ && !timing_) return;
    platform::SetExecuteObserver([this](std::string_view batch) {
      FinishBatch();
      if (show_) err_ << batch << "\nGO\n";
      started_ = std::chrono::steady_clock::now();
      started_cpu_ = std::clock();
      ++batches_;
    });
  }
  ~ShowSql() {
    if (!show_ && !timing_) return;
    platform::SetExecuteObserver({});
    FinishBatch();
  }
  ShowSql(const ShowSql&) = delete;
  ShowSql& operator=(const ShowSql&) = delete;

 private:
  void FinishBatch() {
    if (!timing_ || batches_ == 0) return;
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - started_;
    const double cpu = 1000.0 * static_cast<double>(std::clock() - started_cpu_) / CLOCKS_PER_SEC;
    char line[96];
    std::snprintf(line, sizeof line, "-- batch %d: %.1f ms (CPU %.1f ms)\n", batches_, took.count(), cpu);
    err_ << line;
  }

  bool show_;
  bool timing_;
  std::ostream& err_;
  std::chrono::steady_clock::time_point started_;
  std::clock_t started_cpu_ = 0;
  int batches_ = 0;
};

// A name that is no report: another registered class, or nothing at all.
int UnknownReport(const std::string& name, std::ostream& err) {
  const bool registered = platform::ClassRegistry::Instance().Find("Orvalent." + name).has_value() ||
                          platform::ClassRegistry::Instance().Find(name).has_value();
  err << "'" << name << "' " << (registered ? "is not a report class." : "is no report.") << '\n' << ReportList();
  return kExitUsage;
}

int ListConditions(const frame::ReportSchema& schema, const ReportOptions& options, std::ostream& out) {
  if (options.output.format == OutputFormat::Table) {
    out << "Report " << schema.number << " (Orvalent." << schema.class_name
        << "): " << reports::ReportTitle(schema, "en") << "\n\n";
  }
  const std::unique_ptr<ResultWriter> writer = MakeResultWriter(out, options.output);
  writer->Result(ConditionTable(schema));
  writer->Finish();
  return kExitOk;
}

results::ReportView ViewFor(const ReportOptions& options) {
  const bool for_people = options.output.format == OutputFormat::Table;
  return {options.captions.value_or(for_people), options.precision.value_or(for_people),
          options.hide_internal.value_or(for_people), for_people};
}

int RunReport(const frame::ReportSchema& schema, const platform::ConditionDictionary& dct,
              const ReportOptions& options, std::ostream& out, std::ostream& err) {
  try {
    std::shared_ptr<platform::Recordset> recordset;
    {
      const ShowSql show_sql(options.show_sql, options.timing, err);
      recordset = results::RunReportClass(schema, options.session, dct);
    }
    const std::string language = toolkit::GetPropertyValue(options.session, "Language");
    const results::RecordsetRows raw(recordset);
    const std::unique_ptr<ResultWriter> writer = MakeResultWriter(out, options.output);
    writer->Result(results::ReportViewRows(raw, schema, language, ViewFor(options)));
    if (options.output.format == OutputFormat::Table) writer->Message(RowCountMessage(raw.row_count()));
    writer->Finish();
    return kExitOk;
  } catch (const platform::AutomationError& error) {
    PrintAutomationError(err, error);
  } catch (const std::runtime_error& error) {
    err << error.what() << '\n';
  }
  return kExitFailed;
}

// A flag with its negation that stays unset when neither is given.
void AddViewFlag(CLI::App& command, const std::string& names, std::optional<bool>& target,
                 const std::string& description) {
  command.add_flag_function(
      names, [&target](int64_t count) { target = count > 0; }, description);
}

}  // namespace

int RunReportCommand(const ReportOptions& options, std::ostream& out, std::ostream& err) {
  const frame::ReportSchema* schema = reports::FindReportSchema(options.report);
  if (schema == nullptr) return UnknownReport(options.report, err);
  if (options.list_conditions) return ListConditions(*schema, options, out);
  std::shared_ptr<platform::ConditionDictionary> dct;
  try {
    dct = ReadConditions(options.conditions_source, options.conditions);
  } catch (const std::runtime_error& error) {
    err << error.what() << '\n';
    return kExitUsage;
  }
  if (!PrintConditionIssues(frame::CheckConditions(*schema, *dct, options.allow_unknown), err)) {
    err << "orvalent report " << schema->number << " --list-conditions lists the keys"
        << (options.allow_unknown ? "" : "; --allow-unknown passes keys the report does not read on") << ".\n";
    return kExitUsage;
  }
  return RunReport(*schema, *dct, options, out, err);
}

void AddReportCommand(CommandLine& command_line) {
  auto options = std::make_shared<ReportOptions>();
  CLI::App& command = command_line.AddCommand(
      "report", "Run a report class's GetRptData the way the ERP client calls it and print the rows",
      [options] { return RunReportCommand(*options, std::cout, std::cerr); });
  command.add_option("report", options->report, "Report number (e.g. 2010001), class name or ProgID")->required();
  command.add_option("--session", options->session, "The session property string sDsn")->capture_default_str();
  command.add_option("--condition", options->conditions, "A condition KEY=VALUE (value as text); repeatable")
      ->allow_extra_args(false);
  command.add_option("--conditions", options->conditions_source,
                     "A JSON object of conditions: a file, - for standard input, or the object itself "
                     "(numbers become Long or Double values, true and false 1 and 0)")
      ->type_name("FILE|-|JSON");
  command.add_flag("--allow-unknown", options->allow_unknown,
                   "Pass condition keys the report does not read on (a warning instead of an error)");
  command.add_flag("--list-conditions", options->list_conditions,
                   "List the report's condition keys: type, default, the keys they depend on, meaning");
  command.add_flag("--show-sql", options->show_sql,
                   "Print every batch the report runs, each followed by GO, to standard error");
  command.add_flag("--timing", options->timing,
                   "Print each batch's time in milliseconds (wall and CPU) to standard error, as a comment line");
  AddViewFlag(command, "--captions,!--no-captions", options->captions,
              "Column captions in the session language (default: on for the table format)");
  AddViewFlag(command, "--precision,!--no-precision", options->precision,
              "Round numbers to the decimals of their row's precision columns (default: on for the table format)");
  AddViewFlag(command, "--hide-internal,!--show-internal", options->hide_internal,
              "Leave out identifiers, precision and FSumSort columns (default: on for the table format)");
  AddOutputOptions(command, options->output);
  command.footer(
      "The table format is for people: captions, rounded numbers, internal columns left out and a first column "
      "marking subtotal and total rows; csv and json keep raw column names and full values.\n"
      "Exit codes: 0 done, 1 the report raised an error, 2 a wrong report, condition or command line.\n"
      "The default session runs on the bundled demo database. Example:\n"
      "  orvalent report 2010001 --condition FBeginDate=2024-01-01 --session \"" +
      std::string(kDefaultSession) + "\"\n");
}

}  // namespace orv::cli
