// `orvalent sql`: runs a T-SQL script on an embedded database batch by batch
// (split at GO lines) and prints every result set; errors are reported on the
// error stream the way the server's command-line client reports them.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/result_table.h"

namespace orv::cli {

struct SqlOptions {
  std::vector<std::string> load_files;  // run first, results not printed
  std::string database;                 // a named embedded instance; empty for a fresh one
  std::string script = "-";             // a file, or "-" for standard input
  OutputFormat format = OutputFormat::Table;
};

// Returns the exit code: 0 when every batch ran, 1 when one failed (the later
// batches still run, as the command-line client does) or a file is unreadable.
int RunSqlCommand(const SqlOptions& options, std::ostream& out, std::ostream& err);

// The whole content of a file, or of standard input for "-". Throws
// std::runtime_error naming the file when it cannot be read.
std::string ReadInput(const std::string& path);

void AddSqlCommand(CommandLine& command_line);

}  // namespace orv::cli
