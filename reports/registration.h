// Registration of the component's seven public classes with the class
// registry: fixed class and interface identifiers, ProgIDs "Orvalent.<class>",
// the one method of each default interface and the type library "Orvalent".
// The session parser and the data source are private and not registered.
#pragma once

#include <string_view>
#include <vector>

#include "platform/class_registry.h"

namespace orv::reports {

inline constexpr std::string_view kLibraryName = "Orvalent";
inline constexpr std::string_view kLibraryId = "{93429472-BE82-4985-B7FD-2F90345CCB45}";
inline constexpr int32_t kMethodDispatchId = 0x60030002;

// The entries RegisterComponent writes, in the order of the type library.
std::vector<platform::ClassEntry> ComponentClasses();

// Writes the seven classes into the registry (again harmlessly).
void RegisterComponent();
// Removes them.
void UnregisterComponent();

}  // namespace orv::reports
