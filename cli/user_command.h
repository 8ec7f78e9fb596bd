// `orvalent user add|remove|list`: manages the user file the servers read.
#pragma once

#include <iosfwd>
#include <string>

#include "cli/command_line.h"

namespace orv::cli {

void AddUserCommand(CommandLine& command_line);

// Reads a password: the first line of `in`; when `in` is a terminal, asked
// for twice with echo off. Throws std::runtime_error when empty or unequal.
std::string ReadPassword(std::istream& in, bool from_terminal, std::ostream& prompt);

}  // namespace orv::cli
