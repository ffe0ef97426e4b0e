#pragma once
// The settings store in the Windows registry.
#include <cstdint>
#include <memory>

#include "settings/registry_store.h"

namespace vitrine {

// Writes under HKEY_CURRENT_USER, which ordinary users may write on current Windows. A key that
// the user doesn't have yet is read from the same path under HKEY_LOCAL_MACHINE, where older
// installations kept it.
std::unique_ptr<RegistryStore> MakeWin32RegistryStore();

// The same over other roots: predefined keys (HKEY values) passed as integers, so that tests
// can point the store at a scratch key.
std::unique_ptr<RegistryStore> MakeWin32RegistryStore(uintptr_t userRoot, uintptr_t machineRoot);

}  // namespace vitrine
