// The batches a report's grouped summary runs for a condition dictionary,
// recorded instead of executed: each batch's text, or all of them as one
// script with each batch followed by a "GO" line, as the golden files hold
// them. Labels in languages other than "chs" come from the resource loader.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "frame/cparse.h"
#include "platform/class_registry.h"
#include "platform/host_objects.h"
#include "platform/recordset.h"
#include "toolkit/summary_pipeline.h"

namespace orv::test {

inline std::vector<std::string> SummaryBatches(const toolkit::SummaryParameters& parameters,
                                               const platform::ConditionDictionary& dct,
                                               const std::string& language = "chs") {
  platform::RegisterPlatformClasses();
  frame::CParse parse;
  parse.ParseString("Language=" + language + ";");
  std::vector<std::string> batches;
  toolkit::RunSummary(parameters, dct, parse, language, [&batches](const std::string& batch) {
    batches.push_back(batch);
    return std::shared_ptr<platform::Recordset>();
  });
  return batches;
}

inline std::string SummaryScript(const toolkit::SummaryParameters& parameters, const platform::ConditionDictionary& dct,
                                 const std::string& language = "chs") {
  std::string script;
  for (const std::string& batch : SummaryBatches(parameters, dct, language)) script += batch + "GO\r\n";
  return script;
}

}  // namespace orv::test
