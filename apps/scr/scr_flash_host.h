#pragma once
// The Flash window host of the screen saver.
#include <memory>

#include "flash/flash_window_host.h"
#include "platform/win32/win32_event_loop.h"

namespace vitrine {

// Where no Flash player can be hosted, a Flash item ends at once and the show goes on with
// the next item, so a package with Flash items still runs.
std::unique_ptr<FlashWindowHost> CreateScrFlashHost(Win32EventLoop& loop);

}  // namespace vitrine
