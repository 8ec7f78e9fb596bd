// Options that several subcommands share: the output format.
#pragma once

#include <CLI/CLI.hpp>

#include "cli/result_table.h"

namespace orv::cli {

// Adds --format (table, csv or json, any letter case) writing into `format`.
void AddFormatOption(CLI::App& command, OutputFormat& format);

}  // namespace orv::cli
