// Scripts of the demo database. The schema and the tiny fixture are compiled in
// from demo/schema.sql and demo/tiny_data.sql, so nothing is read at run time.
#include "demo/demo_database.h"

#include "demo/generator.h"

namespace orv::demo {

namespace {

constexpr char kSchemaScript[] =
#include "schema.inc"
    ;

constexpr char kTinyDataScript[] =
#include "tiny_data.inc"
    ;

}  // namespace

std::string_view ScaleName(Scale scale) {
  switch (scale) {
    case Scale::Tiny:
      return "tiny";
    case Scale::Small:
      return "small";
    case Scale::Large:
      return "large";
  }
  return "";
}

std::optional<Scale> ParseScale(std::string_view name) {
  for (Scale scale : {Scale::Tiny, Scale::Small, Scale::Large}) {
    if (ScaleName(scale) == name) return scale;
  }
  return std::nullopt;
}

std::string SchemaScript() { return kSchemaScript; }

std::string DataScript(Scale scale, uint64_t seed) {
  if (scale == Scale::Tiny) return kTinyDataScript;
  std::string script = "-- Demo data, scale " + std::string(ScaleName(scale)) + ", seed " + std::to_string(seed) + "\n";
  GenerateData(scale, seed, [&script](std::string_view batch) { script.append(batch).append("\nGO\n"); });
  return script;
}

}  // namespace orv::demo
