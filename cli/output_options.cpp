// The format names are matched without regard to case.
#include "cli/output_options.h"

#include <map>
#include <string>

namespace orv::cli {

void AddFormatOption(CLI::App& command, OutputFormat& format) {
  static const std::map<std::string, OutputFormat> kFormats = {
      {"table", OutputFormat::Table}, {"csv", OutputFormat::Csv}, {"json", OutputFormat::Json}};
  command
      .add_option_function<std::string>(
          "--format", [&format](const std::string& name) { format = kFormats.at(name); },
          "Output format: table (aligned), csv (RFC 4180) or json (one array per result)")
      ->transform(CLI::IsMember({"table", "csv", "json"}, CLI::ignore_case).description(""))
      ->type_name("FORMAT")
      ->default_str("table");
}

}  // namespace orv::cli
