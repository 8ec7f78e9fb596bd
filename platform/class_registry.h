// The process's class registry, standing in for the system's: each entry ties a
// ProgID and class identifier to a factory and describes the class's default
// interface and type library. CreateObject hands out new instances and counts
// those still alive, which is what "can the library unload" asks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/object.h"

namespace orv::platform {

struct TypeLibraryInfo {
  std::string name;
  uint16_t major_version = 1;
  uint16_t minor_version = 0;
  std::string library_id;  // "{GUID}"
  std::string help_string;
  uint32_t locale = 0x409;
};

struct ClassEntry {
  std::string prog_id;         // "Library.Class"
  std::string clsid;           // "{GUID}"
  std::string iid;             // the default interface, "{GUID}"
  std::string interface_name;  // "_Class"
  std::string method_name;     // the interface's one method
  int32_t dispatch_id = 0;
  TypeLibraryInfo type_library;
  std::function<std::shared_ptr<Object>()> factory;
};

class ClassRegistry {
 public:
  static ClassRegistry& Instance();

  // Adds the entry; an entry with the same ProgID or class identifier is
  // replaced, so registering twice is harmless.
  void Register(ClassEntry entry);
  // Removes the entry named by ProgID or class identifier; false when absent.
  bool Unregister(std::string_view prog_id_or_clsid);
  // ProgIDs compare without regard to case; identifiers with or without braces.
  std::optional<ClassEntry> Find(std::string_view prog_id_or_clsid) const;
  std::vector<ClassEntry> Entries() const;

  // A new instance of the class; 429 ("ActiveX component can't create
  // object") when the class is not registered or its factory gives nothing.
  std::shared_ptr<Object> CreateObject(std::string_view prog_id_or_clsid) const;

  // Instances made by CreateObject that are still alive, and server locks.
  size_t OutstandingObjects() const;
  void LockServer(bool lock);
  bool CanUnloadNow() const;

 private:
  ClassRegistry() = default;
  mutable std::mutex mutex_;
  std::vector<ClassEntry> entries_;
  int64_t locks_ = 0;
};

// Shorthand for ClassRegistry::Instance().CreateObject.
std::shared_ptr<Object> CreateObject(std::string_view prog_id_or_clsid);

// Registers the platform's own classes ("Trevasque.Loader", the shared
// property group manager) and the embedded database provider. Called once at
// start-up by the component and the command line; calling it again is harmless.
void RegisterPlatformClasses();

}  // namespace orv::platform
