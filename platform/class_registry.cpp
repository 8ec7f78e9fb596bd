// The class registry and CreateObject. Every object CreateObject hands out is
// wrapped so that its release is counted: what remains is what keeps the
// library from unloading.
#include "platform/class_registry.h"

#include <algorithm>
#include <atomic>

#include "platform/ascii_text.h"
#include "platform/automation_error.h"

namespace orv::platform {
namespace {

// Trivially destructible, so objects released during static teardown can still count down.
std::atomic<size_t> outstanding_objects{0};

// ProgIDs and identifiers both compare without case; identifiers also without their braces.
std::string Normalize(std::string_view name) {
  if (name.size() >= 2 && name.front() == '{' && name.back() == '}') name = name.substr(1, name.size() - 2);
  return AsciiLower(name);
}

bool Names(const ClassEntry& entry, const std::string& key) {
  return Normalize(entry.prog_id) == key || (!entry.clsid.empty() && Normalize(entry.clsid) == key);
}

}  // namespace

ClassRegistry& ClassRegistry::Instance() {
  // Never destroyed: objects may be released after static destructors ran.
  static ClassRegistry* registry = new ClassRegistry();
  return *registry;
}

void ClassRegistry::Register(ClassEntry entry) {
  const std::string prog_id = Normalize(entry.prog_id);
  const std::string clsid = Normalize(entry.clsid);
  std::lock_guard lock(mutex_);
  std::erase_if(entries_, [&](const ClassEntry& e) { return Names(e, prog_id) || (!clsid.empty() && Names(e, clsid)); });
  entries_.push_back(std::move(entry));
}

bool ClassRegistry::Unregister(std::string_view prog_id_or_clsid) {
  const std::string key = Normalize(prog_id_or_clsid);
  std::lock_guard lock(mutex_);
  return std::erase_if(entries_, [&](const ClassEntry& e) { return Names(e, key); }) > 0;
}

std::optional<ClassEntry> ClassRegistry::Find(std::string_view prog_id_or_clsid) const {
  const std::string key = Normalize(prog_id_or_clsid);
  std::lock_guard lock(mutex_);
  for (const ClassEntry& entry : entries_) {
    if (Names(entry, key)) return entry;
  }
  return std::nullopt;
}

std::vector<ClassEntry> ClassRegistry::Entries() const {
  std::lock_guard lock(mutex_);
  return entries_;
}

std::shared_ptr<Object> ClassRegistry::CreateObject(std::string_view prog_id_or_clsid) const {
  const std::optional<ClassEntry> entry = Find(prog_id_or_clsid);
  std::shared_ptr<Object> object = entry && entry->factory ? entry->factory() : nullptr;
  if (!object) RaiseRuntimeError(kErrCannotCreateObject);
  ++outstanding_objects;
  // The handed-out pointer shares no control block with `object`: its deleter
  // runs when the caller's last copy goes, and only then counts down.
  Object* raw = object.get();
  return std::shared_ptr<Object>(raw, [held = std::move(object)](Object*) mutable {
    held.reset();
    --outstanding_objects;
  });
}

size_t ClassRegistry::OutstandingObjects() const { return outstanding_objects.load(); }

void ClassRegistry::LockServer(bool lock) {
  std::lock_guard guard(mutex_);
  locks_ += lock ? 1 : (locks_ > 0 ? -1 : 0);
}

bool ClassRegistry::CanUnloadNow() const {
  std::lock_guard lock(mutex_);
  return locks_ == 0 && outstanding_objects.load() == 0;
}

std::shared_ptr<Object> CreateObject(std::string_view prog_id_or_clsid) {
  return ClassRegistry::Instance().CreateObject(prog_id_or_clsid);
}

}  // namespace orv::platform
