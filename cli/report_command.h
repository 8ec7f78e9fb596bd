// `orvalent report`: finds the report by number, class name or ProgID,
// checks the conditions against the report's schema, creates the class
// through the class registry, calls GetRptData and prints the record set:
// for people with captions, rounded numbers and marked totals, for programs
// with raw column names and full values.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/result_writer.h"

namespace orv::cli {

// A session string that works out of the box on the bundled demo database.
inline constexpr const char* kDefaultSession =
    "ConnectString={Provider=Orvalent.Embedded;Data Source=demo-small};UserName=demo;UserID=16394;"
    "Language=chs;DBMS Name=Microsoft SQL Server;DBMS Version=08.00.2039;";

struct ReportOptions {
  std::string report;                   // report number, class name or ProgID
  std::string session = kDefaultSession;
  std::vector<std::string> conditions;  // KEY=VALUE, values kept as text
  std::string conditions_source;        // a JSON file, "-" for standard input, or the JSON itself
  bool allow_unknown = false;           // pass keys the report does not read on, with a warning
  bool list_conditions = false;
  bool show_sql = false;                // every batch the report runs, to the error stream
  bool timing = false;                  // each batch's time, to the error stream
  // Each unset one follows the format: on for the table, off for csv and json.
  std::optional<bool> captions;
  std::optional<bool> precision;
  std::optional<bool> hide_internal;
  OutputSettings output;
};

// Returns the exit code: 0 on success; 1 when the call raised (number in hex
// and decimal, source and description on `err`); 2 when the report or the
// conditions are wrong.
int RunReportCommand(const ReportOptions& options, std::ostream& out, std::ostream& err);

void AddReportCommand(CommandLine& command_line);

}  // namespace orv::cli
