// Options that several subcommands share: the output format and how NULL and
// exact decimals are written.
#pragma once

#include <CLI/CLI.hpp>

#include "cli/result_writer.h"

namespace orv::cli {

// --format (table, csv, json or jsonl, any letter case), --jsonl, --null and
// --json-numbers, writing into `settings`.
void AddOutputOptions(CLI::App& command, OutputSettings& settings);

}  // namespace orv::cli
