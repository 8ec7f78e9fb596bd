// The procedures of a database, kept as the text of the batch that created
// them and parsed again at each call, as views are: what they read is bound
// when they run.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

namespace orv::engine {

struct ProcedureDefinition {
  std::string name;
  std::string text;  // the whole CREATE PROCEDURE batch
  int64_t object_id = 0;
  int64_t create_date = 0;  // DATETIME ticks
  int64_t modify_date = 0;
};

class Routines {
 public:
  const ProcedureDefinition* Find(std::string_view name) const;
  // Replaces a procedure of the same name (ALTER keeps its object id).
  void Put(ProcedureDefinition procedure);
  bool Drop(std::string_view name);
  const std::unordered_map<std::string, ProcedureDefinition>& All() const { return procedures_; }

 private:
  std::unordered_map<std::string, ProcedureDefinition> procedures_;
};

}  // namespace orv::engine
