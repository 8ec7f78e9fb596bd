// The process-wide property groups and their locking.
#include "platform/shared_property.h"

#include "platform/ascii_text.h"
#include "platform/automation_error.h"

namespace orv::platform {
namespace {

constexpr int32_t kInvalidArgument = static_cast<int32_t>(0x80070057);  // E_INVALIDARG
constexpr const char* kSource = "SharedPropertyGroupManager";

[[noreturn]] void RaiseInvalidArgument(const std::string& what) {
  throw AutomationError(kInvalidArgument, kSource, "The parameter is incorrect: " + what);
}

struct GroupSlot {
  std::weak_ptr<SharedPropertyGroup> group;
  std::shared_ptr<SharedPropertyGroup> kept;  // set for release mode 1: lives with the process
};

struct Groups {
  std::mutex mutex;
  std::map<std::string, GroupSlot> by_name;
};

Groups& GetGroups() {
  static Groups* groups = new Groups();  // never destroyed: values may hold objects released late
  return *groups;
}

template <typename Key>
std::shared_ptr<SharedProperty> CreateIn(std::map<Key, std::shared_ptr<SharedProperty>>& properties, const Key& key,
                                         bool* existed) {
  std::shared_ptr<SharedProperty>& slot = properties[key];
  if (existed) *existed = slot != nullptr;
  if (!slot) slot = std::make_shared<SharedProperty>();
  return slot;
}

}  // namespace

Variant SharedProperty::Value() const {
  std::lock_guard lock(mutex_);
  return value_;
}

void SharedProperty::SetValue(const Variant& value) {
  std::lock_guard lock(mutex_);
  value_ = value;
}

std::shared_ptr<SharedProperty> SharedPropertyGroup::CreateProperty(std::string_view name, bool* existed) {
  std::lock_guard lock(mutex_);
  return CreateIn(by_name_, AsciiLower(name), existed);
}

std::shared_ptr<SharedProperty> SharedPropertyGroup::CreatePropertyByPosition(int32_t position, bool* existed) {
  std::lock_guard lock(mutex_);
  return CreateIn(by_position_, position, existed);
}

std::shared_ptr<SharedProperty> SharedPropertyGroup::Property(std::string_view name) const {
  std::lock_guard lock(mutex_);
  const auto found = by_name_.find(AsciiLower(name));
  if (found == by_name_.end()) RaiseInvalidArgument("no property named " + std::string(name));
  return found->second;
}

std::shared_ptr<SharedProperty> SharedPropertyGroup::PropertyByPosition(int32_t position) const {
  std::lock_guard lock(mutex_);
  const auto found = by_position_.find(position);
  if (found == by_position_.end()) RaiseInvalidArgument("no property at position " + std::to_string(position));
  return found->second;
}

std::vector<int32_t> SharedPropertyGroup::Positions() const {
  std::lock_guard lock(mutex_);
  std::vector<int32_t> positions;
  positions.reserve(by_position_.size());
  for (const auto& [position, property] : by_position_) positions.push_back(position);
  return positions;
}

std::shared_ptr<SharedPropertyGroup> SharedPropertyGroupManager::CreatePropertyGroup(std::string_view name,
                                                                                     int32_t& isolation,
                                                                                     int32_t& release,
                                                                                     bool* existed) {
  if (isolation != kLockSetGet && isolation != kLockMethod) RaiseInvalidArgument("isolation mode");
  if (release != kReleaseStandard && release != kReleaseProcess) RaiseInvalidArgument("release mode");
  Groups& groups = GetGroups();
  std::lock_guard lock(groups.mutex);
  GroupSlot& slot = groups.by_name[std::string(name)];
  std::shared_ptr<SharedPropertyGroup> group = slot.group.lock();
  if (existed) *existed = group != nullptr;
  if (group) {
    isolation = group->isolation();
    release = group->release();
    return group;
  }
  group = std::make_shared<SharedPropertyGroup>(isolation, release);
  slot.group = group;
  slot.kept = release == kReleaseProcess ? group : nullptr;
  return group;
}

std::shared_ptr<SharedPropertyGroup> SharedPropertyGroupManager::Group(std::string_view name) const {
  Groups& groups = GetGroups();
  std::lock_guard lock(groups.mutex);
  const auto found = groups.by_name.find(std::string(name));
  return found == groups.by_name.end() ? nullptr : found->second.group.lock();
}

}  // namespace orv::platform
