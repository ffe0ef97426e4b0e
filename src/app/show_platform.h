#pragma once
// Everything the show window needs from the platform it runs on, in one place. The headless
// platform, the Windows platform and the tests each fill one.
#include "core/file_system.h"
#include "flash/flash_window_host.h"
#include "platform/event_loop.h"
#include "platform/media_player.h"
#include "platform/services.h"
#include "platform/show_window.h"
#include "settings/registry_store.h"

namespace vitrine {

class TextPainter;

struct ShowPlatform {
  EventLoop& Loop;
  ShowWindow& Window;
  vitrine::Services& Services;
  FileSystem& Files;
  MediaPlayerFactory& Media;
  RegistryStore& Registry;
  TextPainter& Text;
  FlashWindowHost& Flash;
};

// Private messages of the show window (posted or sent to its handle).
inline constexpr uint32_t WM_STARTMUSIC = 0x572;
inline constexpr uint32_t WM_STOPMUSIC = 0x573;
inline constexpr uint32_t WM_PAUSEMUSIC = 0x574;
inline constexpr uint32_t WM_RESUMEMUSIC = 0x575;
inline constexpr uint32_t WM_RELOADSETTINGS = 0x576;

}  // namespace vitrine
