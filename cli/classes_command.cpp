// One row per registered class: what a client needs to create it and call it.
#include "cli/classes_command.h"

#include <cstdio>
#include <iostream>
#include <memory>

#include "cli/output_options.h"
#include "platform/class_registry.h"

namespace orv::cli {

int RunClassesCommand(const OutputSettings& output, std::ostream& out) {
  ResultTable table;
  for (const char* name : {"ProgID", "CLSID", "IID", "Interface", "Method", "DispID", "TypeLibrary"}) {
    table.columns.push_back({name, "text"});
  }
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
  const std::unique_ptr<ResultWriter> writer = MakeResultWriter(out, output);
  writer->Result(table);
  if (output.format == OutputFormat::Table) writer->Message(RowCountMessage(table.rows.size()));
  writer->Finish();
  return kExitOk;
}

void AddClassesCommand(CommandLine& command_line) {
  auto output = std::make_shared<OutputSettings>();
  CLI::App& command = command_line.AddCommand("classes", "List the registered classes with ProgIDs, CLSIDs and IIDs",
                                              [output] { return RunClassesCommand(*output, std::cout); });
  AddOutputOptions(command, *output);
}

}  // namespace orv::cli
