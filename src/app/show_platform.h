#pragma once
// Everything the show window needs from the platform it runs on, in one place. The headless
// platform, the Windows platform and the tests each fill one.
#include "core/file_system.h"
#include "flash/flash_window_host.h"
#include "package/show_messages.h"
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

}  // namespace vitrine
