#pragma once
// The settings dialog ("Screensaver Setting") with real Win32 controls: the close events,
// mouse sensitivity, music, run-time limit, the user's own transitions, the author's texts and
// the package's banner. OK validates and writes the values to the registry.
#include <cstdint>
#include <string>

#include "settings/registry_store.h"

namespace vitrine {

// Runs modally over `owner` (an HWND, 0 for none); returns when the dialog has closed.
void RunSettingsDialog(const std::string& executablePath, RegistryStore& registry, uintptr_t owner);

// Control ids the tests drive the dialog by.
enum SettingsControlId : int {
  kIdTabs = 200,
  kIdMouseMove, kIdMouseLeftClick, kIdMouseRightClick, kIdMouseDoubleClick, kIdEscKey, kIdEnterKey,
  kIdSpecifyKey, kIdKeyValue, kIdMouseSensitivity, kIdEnabledMusic, kIdMaxRuntime, kIdMaxRuntimeEdit,
  kIdMaxRuntimeUpDown, kIdTransitionUsed, kIdTransitionList, kIdSelectAll, kIdClearAll, kIdRandomTransition,
  kIdSpeed, kIdAuthor, kIdWebsite, kIdVisit, kIdEmail, kIdDescription, kIdBanner,
};

}  // namespace vitrine
