#pragma once
// The show window on SDL: full screen on the primary display, a borderless window over a part
// of the virtual screen (beside black or mirroring windows on the other monitors), a window of
// a given size, or a foreign X window (a screen saver daemon's, or a preview host's) that we draw into and
// whose size we follow. The surface (5-6-5 or 32-bit, as the show draws) goes to a streaming texture of
// the same format, only its dirty rows
// uploaded; presenting waits for the display's refresh where the renderer offers it. The
// prompt, the popup menu, the Flash window and the video panel are drawn into the same
// window, over a copy of the surface.
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "app/show_input.h"
#include "flash/flash_window_host.h"
#include "backends/sdl/sdl_event_loop.h"
#include "backends/sdl/x11_window_watch.h"
#include "platform/show_window.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;

namespace vitrine {

struct SdlWindowTarget {
  enum class Kind { FullScreen, Window, Foreign, Area };
  Kind kind = Kind::FullScreen;
  int32_t width = 0, height = 0;  // Kind::Window
  Rect area;                      // Kind::Area: a borderless window over this part of the virtual screen
  uintptr_t foreign = 0;          // Kind::Foreign: the X window drawn into in show mode
  // The window belongs to a daemon that owns the mouse and keyboard: input is not ours.
  bool ignoreInput = false;
};

class SdlShowWindow final : public ShowWindow, public SdlEventLoop::Hooks {
 public:
  SdlShowWindow(SdlEventLoop& loop, ShowInput& input, SdlWindowTarget target);
  ~SdlShowWindow() override;
  SdlShowWindow(const SdlShowWindow&) = delete;
  SdlShowWindow& operator=(const SdlShowWindow&) = delete;

  // The Flash window, drawn over the surface while it is open.
  void SetFlashHost(FlashWindowHost* flash) { flash_ = flash; }
  // Draws the video's current picture into a bitmap of the video panel's size; false when
  // there is none (the panel then shows black).
  void SetVideoPainter(std::function<bool(Bitmap&)> paint) { videoPainter_ = std::move(paint); }
  // Called when a foreign window changed its size.
  void SetResizeHandler(std::function<void(int32_t, int32_t)> onResize) { onResize_ = std::move(onResize); }

  void SetEvents(ShowWindowEvents* events) override;
  int32_t ScreenWidth() const override;
  int32_t ScreenHeight() const override;
  void MakeFullScreen() override;
  bool AttachToParent(uintptr_t parentHandle, int32_t& width, int32_t& height) override;
  void BringToFront() override;
  Bitmap& Surface() override { return surface_; }
  void Present(const Rect& dirty) override;
  void HideCursor() override;
  void ShowCursor() override;
  bool CursorHidden() const override { return cursorHidden_; }
  void SetPopupMenu(std::optional<std::array<std::string, 2>> captions) override { input_.SetPopupMenu(std::move(captions)); }
  void SetVideoPanel(const Rect& bounds, bool visible) override;

  // Another monitor's window beside the show's, covering bounds on the virtual screen: the
  // show's picture scaled to fit it (mirror), or black. Its mouse and keys count as the
  // show's, at their place on the virtual screen. Call after the mode set-up.
  void AddMonitorWindow(const Rect& bounds, bool mirror);

  // Makes the window visible (after the mode set-up).
  void Show();
  bool Created() const { return window_ != nullptr; }

  // SdlEventLoop::Hooks
  void HandleEvent(const SDL_Event& event) override;
  void Present() override;
  uint32_t MaxWaitMs() override;

 private:
  struct OtherMonitor {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    int32_t textureWidth = 0, textureHeight = 0;
    PixelFormat textureFormat = kDefaultShowPixelFormat;
    Rect bounds;
    bool mirror = false;
  };

  bool CreateOwnWindow(bool fullScreen);
  bool CreateAreaWindow(const Rect& area);
  // Mouse positions in another monitor's window, as the show's window sees them.
  Point FromMonitorWindow(uint32_t windowId, int32_t x, int32_t y, bool& found) const;
  void PresentMonitorWindows();
  bool OwnsWindow(uint32_t windowId) const;
  bool AttachForeign(uintptr_t window);
  bool CreateRenderer(bool software);
  void Deliver(const InputEvent& e);
  Point ToShowArea(int32_t x, int32_t y) const;
  void UploadRows(const Bitmap& source, int32_t top, int32_t bottom);

  SdlEventLoop& loop_;
  ShowInput& input_;
  SdlWindowTarget target_;
  ShowWindowEvents* events_ = nullptr;
  FlashWindowHost* flash_ = nullptr;
  std::function<void(int32_t, int32_t)> onResize_;
  std::function<bool(Bitmap&)> videoPainter_;
  Bitmap videoFrame_{0, 0, kDefaultShowPixelFormat};
  std::unique_ptr<X11WindowWatch> watch_;
  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  int32_t textureWidth_ = 0, textureHeight_ = 0;
  PixelFormat textureFormat_ = kDefaultShowPixelFormat;
  std::vector<OtherMonitor> monitors_;
  bool foreign_ = false;
  bool gone_ = false;
  Bitmap surface_{0, 0, kDefaultShowPixelFormat};
  Bitmap composite_{0, 0, kDefaultShowPixelFormat};
  Rect dirty_{};
  bool redraw_ = true;
  bool composited_ = false;
  bool cursorHidden_ = false;
  Rect videoPanel_{};
  bool videoPanelVisible_ = false;
};

}  // namespace vitrine
