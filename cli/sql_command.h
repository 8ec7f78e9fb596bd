// `orvalent sql`: runs T-SQL on an embedded database batch by batch, from a
// script, from -i files, from -Q or, when standard input is a terminal,
// interactively; results and messages in the order the engine sends them,
// errors on the error stream the way the server's command-line client
// reports them.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/result_writer.h"

namespace orv::cli {

struct SqlOptions {
  std::vector<std::string> load_files;   // run first, results not printed
  std::string database;                  // a named embedded instance or a file; empty for a fresh one
  bool create = false;                   // create the database file when missing
  std::string script;                    // a file, or "-" for standard input; empty: none given
  std::vector<std::string> input_files;  // -i, in order
  std::string query;                     // -Q
  bool query_given = false;
  std::string output_file;               // -o
  bool stop_on_error = false;            // -b
  int64_t memory_limit_mb = -1;          // per batch; -1: the database's default
  OutputSettings output;
};

// Returns the exit code: 0 when every batch ran; 1 when one failed (the later
// batches still run unless stop_on_error, which stops at the first) or a file
// is unreadable; 2 when the options contradict each other.
int RunSqlCommand(const SqlOptions& options, std::ostream& out, std::ostream& err);

void AddSqlCommand(CommandLine& command_line);

}  // namespace orv::cli
