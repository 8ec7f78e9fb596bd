// `orvalent classes`: lists the registered classes with their identifiers.
#pragma once

#include <iosfwd>

#include "cli/command_line.h"
#include "cli/result_writer.h"

namespace orv::cli {

int RunClassesCommand(const OutputSettings& output, std::ostream& out);

void AddClassesCommand(CommandLine& command_line);

}  // namespace orv::cli
