// `orvalent report`: creates a report class by ProgID through the class
// registry, fills a condition dictionary from the command line, calls
// GetRptData and prints the record set.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/result_table.h"
#include "platform/host_objects.h"

namespace orv::cli {

// A session string that works out of the box on the bundled demo database.
inline constexpr const char* kDefaultSession =
    "ConnectString={Provider=Orvalent.Embedded;Data Source=demo-small};UserName=demo;UserID=16394;"
    "Language=chs;DBMS Name=Microsoft SQL Server;DBMS Version=08.00.2039;";

struct ReportOptions {
  std::string report;                   // ProgID, class name or report number
  std::string session = kDefaultSession;
  std::vector<std::string> conditions;  // KEY=VALUE, values kept as text
  std::string conditions_file;          // a JSON object of conditions
  OutputFormat format = OutputFormat::Table;
  bool show_sql = false;                // every batch the report runs, to the error stream
};

// "2010001", "CRPT2010001" and "Orvalent.CRPT2010001" all name the same class.
std::string ReportProgId(const std::string& report);

// Condition values from a JSON object: texts as texts, whole numbers within 32
// bits as Long, other numbers as Double, booleans, null as Null. Throws
// std::runtime_error for anything else (arrays, objects, invalid JSON).
void AddJsonConditions(platform::ConditionDictionary& dct, const std::string& json_text);

// Returns the exit code: 0 on success; 1 when the call raised (number in hex
// and decimal, source and description on `err`) or the arguments are wrong.
int RunReportCommand(const ReportOptions& options, std::ostream& out, std::ostream& err);

void AddReportCommand(CommandLine& command_line);

}  // namespace orv::cli
