#pragma once
// Everything the show window needs from the platform it runs on, in one place. The headless
// platform, the Windows platform and the tests each fill one.
#include <memory>

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
class TProjectInfo;
struct MonitorShowPlan;

struct ShowPlatform {
  EventLoop& Loop;
  ShowWindow& Window;
  vitrine::Services& Services;
  FileSystem& Files;
  MediaPlayerFactory& Media;
  RegistryStore& Registry;
  TextPainter& Text;
  FlashWindowHost& Flash;
  // One of several shows on several monitors (null: the only show): its start, its music.
  const MonitorShowPlan* Monitor = nullptr;
  // The package as another show of this process read it; null: the show reads its own.
  std::shared_ptr<TProjectInfo> SharedProject = nullptr;
};

}  // namespace vitrine
