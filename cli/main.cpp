// The `orvalent` command: runs SQL scripts on the embedded database, lists the
// registered classes and runs a report class the way the ERP client calls it.
#include <CLI/CLI.hpp>
#include <exception>
#include <iostream>
#include <cctype>
#include <map>
#include <string>

#include "cli/datasource_command.h"
#include "cli/profile_command.h"
#include "cli/report_command.h"
#include "cli/serve_command.h"
#include "cli/sql_command.h"
#include "cli/user_command.h"
#include "demo/demo_database.h"
#include "reports/registration.h"
#include "platform/class_registry.h"
#include "platform/providers/odbc/odbc_provider.h"

namespace {

const std::map<std::string, orv::cli::OutputFormat> kFormats = {
    {"table", orv::cli::OutputFormat::Table},
    {"csv", orv::cli::OutputFormat::Csv},
    {"json", orv::cli::OutputFormat::Json}};

// The option is read as a name and turned into the format after parsing.
void AddFormatOption(CLI::App& command, std::string& format) {
  command.add_option("--format", format, "Output format: table (aligned), csv (RFC 4180) or json (one array per result)")
      ->check(CLI::IsMember({"table", "csv", "json"}, CLI::ignore_case))
      ->transform([](std::string name) {
        for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return name;
      })
      ->capture_default_str();
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"Orvalent: the fixed-asset acquisition reports on an embedded database"};
  app.require_subcommand(1);

  std::string sql_format = "table";
  std::string classes_format = "table";
  std::string report_format = "table";

  orv::cli::SqlOptions sql;
  CLI::App* sql_command = app.add_subcommand("sql", "Run a T-SQL script (batches split at GO lines) and print its results");
  sql_command->add_option("--load", sql.load_files, "A script file run first, its results not printed; repeatable")
      ->allow_extra_args(false);
  sql_command->add_option("--database", sql.database,
                          "A named embedded database (demo-tiny, demo-small, demo-large); default: a new empty one");
  sql_command->add_option("script", sql.script, "The script file, or - for standard input (the default)");
  AddFormatOption(*sql_command, sql_format);

  CLI::App* classes_command = app.add_subcommand("classes", "List the registered classes with ProgIDs, CLSIDs and IIDs");
  AddFormatOption(*classes_command, classes_format);

  orv::cli::ReportOptions report;
  CLI::App* report_command =
      app.add_subcommand("report", "Run a report class's GetRptData the way the ERP client calls it and print the rows");
  report_command->footer(
      "The default session runs on the bundled demo database. Example:\n"
      "  orvalent report 2010001 --condition FBeginDate=2024-01-01 --session \"" +
      std::string(orv::cli::kDefaultSession) + "\"");
  report_command->add_option("report", report.report, "ProgID, class name or report number (e.g. 2010001)")
      ->required();
  report_command->add_option("--session", report.session, "The session property string sDsn")
      ->capture_default_str();
  report_command->add_option("--condition", report.conditions, "A condition KEY=VALUE (value as text); repeatable")
      ->allow_extra_args(false);
  report_command->add_option("--conditions", report.conditions_file,
                             "A JSON object of conditions (numbers become Long or Double values)");
  report_command->add_flag("--show-sql", report.show_sql, "Print every batch the report runs, each followed by GO, to standard error");
  AddFormatOption(*report_command, report_format);

  orv::cli::ProfileOptions profile;
  std::string profile_format = "table";
  CLI::App* profile_command = orv::cli::AddProfileCommand(app, profile);
  AddFormatOption(*profile_command, profile_format);
  orv::cli::DataSourceOptions datasource;
  std::string datasource_format = "table";
  CLI::App* datasource_command = orv::cli::AddDataSourceCommand(app, datasource);
  AddFormatOption(*datasource_command, datasource_format);

  orv::cli::AddServeCommand(app);  // these two run from their parse callbacks
  orv::cli::AddUserCommand(app);

  CLI11_PARSE(app, argc, argv);

  try {
    orv::platform::RegisterPlatformClasses();
    orv::platform::odbc::RegisterOdbcProvider();
    orv::reports::RegisterComponent();
    orv::demo::RegisterDemoDatabases();
    sql.format = kFormats.at(sql_format);
    report.format = kFormats.at(report_format);
    profile.format = kFormats.at(profile_format);
    datasource.format = kFormats.at(datasource_format);
    if (sql_command->parsed()) return orv::cli::RunSqlCommand(sql, std::cout, std::cerr);
    if (classes_command->parsed()) return orv::cli::RunClassesCommand(kFormats.at(classes_format), std::cout);
    if (profile_command->parsed()) return orv::cli::RunProfileCommand(profile, std::cout, std::cerr);
    if (datasource_command->parsed()) return orv::cli::RunDataSourceCommand(datasource, std::cout, std::cerr);
    return orv::cli::RunReportCommand(report, std::cout, std::cerr);
  } catch (const std::exception& error) {
    std::cerr << error.what() << '\n';
    return 1;
  }
}
