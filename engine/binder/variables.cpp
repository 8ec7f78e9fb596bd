// Local variables: lookup by name and assignment with an owned copy of text.
#include "engine/binder/variables.h"

#include "engine/catalog/names.h"

namespace orv::engine {

void Variable::Assign(const Value& v) {
  value = v;
  if (!v.is_null && IsString(v.type)) {
    text_.assign(v.s());
    value.set_s(text_);
  }
}

Variable* Variables::Find(std::string_view name) {
  for (auto& variable : list_) {
    if (NamesEqual(variable->name, name)) return variable.get();
  }
  return nullptr;
}

Variable& Variables::Add(std::string name, const DataType& type) {
  auto variable = std::make_unique<Variable>();
  variable->name = std::move(name);
  variable->type = type;
  variable->value = Value::Null(type.id);
  list_.push_back(std::move(variable));
  return *list_.back();
}

}  // namespace orv::engine
