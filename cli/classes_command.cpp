// One row per registered class: what a client needs to create it and call it.
#include "cli/classes_command.h"

#include <cstdio>
#include <iostream>
#include <memory>

#include "cli/output_options.h"
#include "platform/class_registry.h"

namespace orv::cli {

int RunClassesCommand(OutputFormat format, std::ostream& out) {
  ResultTable table;
  table.columns = {"ProgID", "CLSID", "IID", "Interface", "Method", "DispID", "TypeLibrary"};
  for (const platform::ClassEntry& entry : platform::ClassRegistry::Instance().Entries()) {
    char dispatch_id[16];
    std::snprintf(dispatch_id, sizeof dispatch_id, "0x%08X", static_cast<uint32_t>(entry.dispatch_id));
    table.rows.push_back({{CellKind::Text, entry.prog_id},
                          {CellKind::Text, entry.clsid},
                          {CellKind::Text, entry.iid},
                          {CellKind::Text, entry.interface_name},
                          {CellKind::Text, entry.method_name},
                          {CellKind::Text, dispatch_id},
                          {CellKind::Text, entry.type_library.name}});
  }
  PrintResult(out, table, format);
  if (format == OutputFormat::Table) PrintRowCount(out, table.rows.size());
  return 0;
}

void AddClassesCommand(CommandLine& command_line) {
  auto format = std::make_shared<OutputFormat>(OutputFormat::Table);
  CLI::App& command = command_line.AddCommand("classes", "List the registered classes with ProgIDs, CLSIDs and IIDs",
                                              [format] { return RunClassesCommand(*format, std::cout); });
  AddFormatOption(command, *format);
}

}  // namespace orv::cli
