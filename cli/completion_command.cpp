// `orvalent completion bash` prints a bash completion script. It is written
// from the command line's own definition and the report schemas, so every
// command, option, report number and condition key it offers exists. It needs
// nothing but bash: load it with  source <(orvalent completion bash).
#include "cli/completion_command.h"

#include <iostream>
#include <memory>
#include <sstream>

#include "reports/report_catalog.h"

namespace orv::cli {
namespace {

// Options whose value is a file, a format or a database get those offered.
constexpr std::string_view kFileOptions = "-i|--input-file|-o|--output-file|--load|--conditions";
constexpr std::string_view kDatabaseOptions = "-d|--database";
constexpr std::string_view kDatabases = "demo-tiny demo-small demo-large";
constexpr std::string_view kFormats = "table csv tsv json jsonl";

std::string OptionWords(const CLI::App& command) {
  std::string words;
  for (const CLI::Option* option : command.get_options()) {
    for (const std::string& name : option->get_snames()) words += " -" + name;
    for (const std::string& name : option->get_lnames()) words += " --" + name;
  }
  return words;
}

// The report command's options that take a value, so the report's name is
// not mistaken for one of those values.
std::string ValueOptions(const CLI::App& command) {
  std::string names;
  for (const CLI::Option* option : command.get_options()) {
    if (option->get_items_expected_min() == 0) continue;
    for (const std::string& name : option->get_lnames()) names += (names.empty() ? "--" : "|--") + name;
  }
  return names;
}

std::string ConditionKeyCases() {
  std::string cases;
  for (const frame::ReportSchema* schema : reports::ReportSchemas()) {
    cases += "      " + std::string(schema->number) + "|" + std::string(schema->class_name) + "|Orvalent." +
             std::string(schema->class_name) + ") keys=\"";
    for (const frame::ConditionKey& key : schema->conditions) cases += std::string(key.key) + "= ";
    cases += "\";;\n";
  }
  return cases;
}

std::string ReportNumbers() {
  std::string numbers;
  for (const frame::ReportSchema* schema : reports::ReportSchemas()) numbers += std::string(schema->number) + " ";
  return numbers;
}

std::string BashScript(const CommandLine& command_line) {
  std::ostringstream script;
  std::string commands;
  for (const std::string_view name : command_line.CommandNames()) commands += std::string(name) + " ";
  script << "# bash completion for orvalent: source <(orvalent completion bash)\n"
         << "_orvalent_report_keys() {\n"
         << "  local report=\"\" word keys=\"\" value=\"\"\n"
         << "  for word in \"${COMP_WORDS[@]:2:COMP_CWORD-2}\"; do\n"
         << "    if [[ -n $value ]]; then value=\"\"; continue; fi\n"
         << "    case $word in\n"
         << "      " << ValueOptions(*command_line.Command("report")) << ") value=1;;\n"
         << "      -*) ;;\n"
         << "      *) report=$word; break;;\n"
         << "    esac\n"
         << "  done\n"
         << "  case $report in\n"
         << ConditionKeyCases() << "  esac\n"
         << "  echo \"$keys\"\n"
         << "}\n"
         << "_orvalent() {\n"
         << "  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]} options=\"\"\n"
         << "  if ((COMP_CWORD == 1)); then\n"
         << "    COMPREPLY=($(compgen -W \"" << commands << "--version --help\" -- \"$cur\"))\n"
         << "    return\n"
         << "  fi\n"
         << "  case $prev in\n"
         << "    " << kFileOptions << ") COMPREPLY=($(compgen -f -- \"$cur\")); return;;\n"
         << "    " << kDatabaseOptions << ") COMPREPLY=($(compgen -W \"" << kDatabases << "\" -- \"$cur\")); return;;\n"
         << "    --format) COMPREPLY=($(compgen -W \"" << kFormats << "\" -- \"$cur\")); return;;\n"
         << "    --condition) compopt -o nospace 2>/dev/null\n"
         << "      COMPREPLY=($(compgen -W \"$(_orvalent_report_keys)\" -- \"$cur\")); return;;\n"
         << "  esac\n"
         << "  case ${COMP_WORDS[1]} in\n";
  for (const std::string_view name : command_line.CommandNames()) {
    const CLI::App* command = command_line.Command(name);
    script << "    " << name << ") options=\"" << (name == "help" ? commands : OptionWords(*command)) << "\"\n";
    if (name == "report") {
      script << "      [[ $cur != -* ]] && { COMPREPLY=($(compgen -W \"" << ReportNumbers() << "\" -- \"$cur\")); "
             << "return; };;\n";
    } else if (name == "sql") {
      script << "      [[ $cur != -* ]] && { COMPREPLY=($(compgen -f -- \"$cur\")); return; };;\n";
    } else {
      script << "      ;;\n";
    }
  }
  script << "  esac\n"
         << "  COMPREPLY=($(compgen -W \"$options\" -- \"$cur\"))\n"
         << "}\n"
         << "complete -F _orvalent orvalent\n";
  return script.str();
}

}  // namespace

void AddCompletionCommand(CommandLine& command_line) {
  auto shell = std::make_shared<std::string>();
  CLI::App& command = command_line.AddCommand(
      "completion", "Print a shell completion script: source <(orvalent completion bash)",
      [shell, &command_line] {
        std::cout << BashScript(command_line);
        return kExitOk;
      });
  command.add_option("shell", *shell, "The shell (bash)")->required()->check(CLI::IsMember({"bash"}));
}

}  // namespace orv::cli
