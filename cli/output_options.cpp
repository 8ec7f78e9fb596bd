// The format names are matched without regard to case.
#include "cli/output_options.h"

#include <map>
#include <string>

namespace orv::cli {

void AddOutputOptions(CLI::App& command, OutputSettings& settings) {
  static const std::map<std::string, OutputFormat> kFormats = {{"table", OutputFormat::Table},
                                                               {"csv", OutputFormat::Csv},
                                                               {"tsv", OutputFormat::Tsv},
                                                               {"json", OutputFormat::Json},
                                                               {"jsonl", OutputFormat::JsonLines}};
  command
      .add_option_function<std::string>(
          "--format", [&settings](const std::string& name) { settings.format = kFormats.at(name); },
          "Output format: table (aligned, for people), csv (RFC 4180), tsv (the same with tabs), json (one "
          "document for the whole run) or "
          "jsonl (JSON Lines: a {\"columns\"} line per result, an array per row, a {\"message\"} line per message)")
      ->transform(CLI::IsMember({"table", "csv", "tsv", "json", "jsonl"}, CLI::ignore_case).description(""))
      ->type_name("FORMAT")
      ->default_str("table");
  command.add_flag_callback(
      "--jsonl", [&settings] { settings.format = OutputFormat::JsonLines; }, "The same as --format jsonl");
  command.add_option_function<std::string>(
      "--null", [&settings](const std::string& text) { settings.null_text = text; },
      "How NULL is written in the table, csv and tsv formats (default: NULL in a table, an empty "
                     "unquoted field in csv and tsv, where the empty text is \"\")")
      ->type_name("TEXT");
  command.add_flag("--json-numbers", settings.json_numbers,
                   "Write exact decimals as JSON numbers (default: strings, which no JSON reader rounds)");
}

}  // namespace orv::cli
