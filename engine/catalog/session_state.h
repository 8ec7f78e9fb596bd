// What belongs to one connection: its temporary tables (#name, private to the
// session, dropped with it) and its SET options, which persist from batch to
// batch.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "engine/catalog/isolation_level.h"
#include "engine/storage/table.h"

namespace orv::engine {

class SessionState {
 public:
  explicit SessionState(std::string database) : database_name(std::move(database)) {}

  const std::string database_name;  // for the table names in messages
  bool nocount = false;
  IsolationLevel isolation = IsolationLevel::ReadCommitted;

  std::shared_ptr<Table> FindTemp(std::string_view name) const;
  // Raises 2714 when the session already has a temporary table of that name.
  void AddTemp(std::shared_ptr<Table> table);
  bool DropTemp(std::string_view name);

 private:
  std::unordered_map<std::string, std::shared_ptr<Table>> temp_tables_;
};

}  // namespace orv::engine
