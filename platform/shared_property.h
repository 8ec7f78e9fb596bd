// The shared property store: process-wide groups of named or numbered
// properties holding automation values, shared by every thread. Each get and
// set of a property takes the property's lock; groups made with release mode
// 1 live for the life of the process, those with mode 0 while referenced.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/object.h"
#include "platform/variant.h"

namespace orv::platform {

inline constexpr int32_t kLockSetGet = 0;
inline constexpr int32_t kLockMethod = 1;
inline constexpr int32_t kReleaseStandard = 0;
inline constexpr int32_t kReleaseProcess = 1;
inline constexpr std::string_view kSharedPropertyManagerProgId = "MtxSpm.SharedPropertyGroupManager.1";

class SharedProperty : public Object {
 public:
  Variant Value() const;
  void SetValue(const Variant& value);

 private:
  mutable std::mutex mutex_;
  Variant value_;
};

class SharedPropertyGroup : public Object {
 public:
  SharedPropertyGroup(int32_t isolation, int32_t release) : isolation_(isolation), release_(release) {}

  // The property of that name (names ignore case) or position, made empty
  // when new; `existed` tells which.
  std::shared_ptr<SharedProperty> CreateProperty(std::string_view name, bool* existed = nullptr);
  std::shared_ptr<SharedProperty> CreatePropertyByPosition(int32_t position, bool* existed = nullptr);
  // An existing property; 0x80070057 (invalid argument) when absent.
  std::shared_ptr<SharedProperty> Property(std::string_view name) const;
  std::shared_ptr<SharedProperty> PropertyByPosition(int32_t position) const;
  // The positions that hold a property, ascending (for showing a group whole).
  std::vector<int32_t> Positions() const;

  int32_t isolation() const { return isolation_; }
  int32_t release() const { return release_; }

 private:
  const int32_t isolation_;
  const int32_t release_;
  mutable std::mutex mutex_;
  std::map<std::string, std::shared_ptr<SharedProperty>> by_name_;  // lower-case keys
  std::map<int32_t, std::shared_ptr<SharedProperty>> by_position_;
};

class SharedPropertyGroupManager : public Object {
 public:
  // Creates or opens the group `name`. For an existing group `isolation` and
  // `release` are set to the group's own modes and `existed` to true. Modes
  // other than 0 and 1 are 0x80070057.
  std::shared_ptr<SharedPropertyGroup> CreatePropertyGroup(std::string_view name, int32_t& isolation,
                                                           int32_t& release, bool* existed = nullptr);
  // An existing group, or nullptr.
  std::shared_ptr<SharedPropertyGroup> Group(std::string_view name) const;
};

}  // namespace orv::platform
