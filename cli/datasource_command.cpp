// The datasource command. The cache is process-wide, so within one run of the
// command it is loaded once; the supported procedures show as their names.
#include "cli/datasource_command.h"

#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <ostream>

#include "cli/automation_error_output.h"
#include "cli/output_options.h"
#include "cli/table_sources.h"
#include "frame/cdatasource.h"
#include "platform/automation_error.h"

namespace orv::cli {
namespace {

// Objects show their content: the procedure dictionary as its names, one per line.
Cell CellOf(const platform::Variant& value) {
  if (!value.IsObject()) return FromVariant(value);
  const auto dictionary = std::dynamic_pointer_cast<platform::ConditionDictionary>(value.ToObject());
  if (!dictionary) return FromVariant(value);
  Cell cell{CellKind::Text, ""};
  for (const auto& [key, item] : dictionary->entries()) cell.text += (cell.text.empty() ? "" : ", ") + key;
  return cell;
}

ResultTable Capabilities(const frame::CDataSource& source) {
  const std::shared_ptr<platform::SharedPropertyGroup> group = source.DataSourceGroup();
  ResultTable table;
  table.columns = {{"Property", "text"}, {"Value", "text"}};
  for (std::string_view name : frame::CDataSource::DataSourcePropertyNames()) {
    table.rows.push_back({{CellKind::Text, std::string(name)}, CellOf(group->CreateProperty(name)->Value())});
  }
  return table;
}

// The columns are those of the first type's row, as t_DataTypeInfo gives them.
ResultTable DataTypes(const frame::CDataSource& source) {
  const std::shared_ptr<platform::SharedPropertyGroup> group = source.DataTypeInfoGroup();
  ResultTable table;
  for (const int32_t position : group->Positions()) {
    const auto row = std::dynamic_pointer_cast<platform::ConditionDictionary>(
        group->PropertyByPosition(position)->Value().ToObject());
    if (!row) continue;
    if (table.columns.empty()) {
      for (const auto& [name, value] : row->entries()) table.columns.push_back({name, ""});
    }
    std::vector<Cell>& cells = table.rows.emplace_back();
    for (const ResultColumn& column : table.columns) cells.push_back(FromVariant(row->Item(column.name)));
  }
  return table;
}

}  // namespace

int RunDataSourceCommand(const DataSourceOptions& options, std::ostream& out, std::ostream& err) {
  try {
    auto parser = std::make_shared<frame::CParse>();
    parser->ParseString(options.session);
    frame::CDataSource source;
    source.SetParser(parser);
    const ResultTable capabilities = Capabilities(source);
    const ResultTable types = DataTypes(source);
    const std::unique_ptr<ResultWriter> writer = MakeResultWriter(out, options.output);
    for (const ResultTable* table : {&capabilities, &types}) {
      if (table == &types && options.output.format == OutputFormat::Table) writer->Message("");
      writer->Result(*table);
      if (options.output.format == OutputFormat::Table) writer->Message(RowCountMessage(table->rows.size()));
    }
    writer->Finish();
    return 0;
  } catch (const platform::AutomationError& error) {
    PrintAutomationError(err, error);
    return 1;
  }
}

void AddDataSourceCommand(CommandLine& command_line) {
  auto options = std::make_shared<DataSourceOptions>();
  CLI::App& command = command_line.AddCommand(
      "datasource", "Show the data source's capability cache (capabilities and data types)",
      [options] { return RunDataSourceCommand(*options, std::cout, std::cerr); });
  command.add_option("--session", options->session, "The session property string sDsn")->capture_default_str();
  AddOutputOptions(command, options->output);
}

}  // namespace orv::cli
