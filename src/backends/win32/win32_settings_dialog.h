#pragma once
// The settings dialog ("Screensaver Setting") and its about box with real Win32 controls. The
// behaviour is the settings model's (settings/settings_dialog.h, settings/about_box.h): this
// layer only creates the controls the model describes, copies their state into the model
// before calling its handler for the user's action, and copies the model back after.
#include <cstdint>

#include "core/file_system.h"
#include "backends/win32/win32_services.h"
#include "settings/registry_store.h"

namespace vitrine {

// Runs modally over `owner` (an HWND, 0 for none); returns when the dialog has closed. The
// services' message boxes stand over the dialog meanwhile.
void RunSettingsDialog(Win32Services& services, FileSystem& files, RegistryStore& registry, uintptr_t owner);

// Control ids, by which the tests drive the dialog.
enum SettingsControlId : int {
  kIdTabs = 200,
  kIdMouseMove, kIdMouseLeftClick, kIdMouseRightClick, kIdMouseDoubleClick, kIdEscKey, kIdEnterKey,
  kIdSpecifyKey, kIdKeyValue, kIdMouseSensitivity, kIdEnabledMusic, kIdMaxRuntime, kIdMaxRuntimeEdit,
  kIdMaxRuntimeUpDown, kIdTransitionUsed, kIdTransitionList, kIdSelectAll, kIdClearAll, kIdRandomTransition,
  kIdSpeed, kIdAuthor, kIdWebsite, kIdVisit, kIdEmail, kIdDescription, kIdBanner,
  kIdEnabledPassword, kIdPassword, kIdConfirm, kIdMonitors,
  // The main menu.
  kIdMenuSave = 300, kIdMenuExit, kIdMenuVisit, kIdMenuAbout,
  // The about box.
  kIdAboutOK = 320, kIdAboutName, kIdAboutVersion, kIdAboutCopyright, kIdAboutMemory,
};

}  // namespace vitrine
