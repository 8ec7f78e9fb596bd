// The one resource loader a thread keeps for translations. It is created late,
// by ProgID through the class registry, so a host can put its own loader class
// there; a session parser's teardown unloads and forgets it.
#pragma once

#include "platform/resource_loader.h"

namespace orv::platform {

// The current thread's loader, created on first use. Raises 438 when the class
// registered under the loader's ProgID lacks the loader's members, as a
// late-bound call would.
ResourceLoader& ThreadResourceLoader();

// Unloads and forgets the current thread's loader, so the next translation
// creates a new one. Never raises: it runs in teardowns.
void ReleaseThreadLoader();

}  // namespace orv::platform
