#include "backends/sdl/sdl_show_window.h"

#include <SDL.h>

#include <algorithm>

#include "core/text.h"
#include "raster/canvas.h"

namespace vitrine {

namespace {
// The texture format whose memory layout is the bitmap's: SDL's RGB888 is the 32-bit word
// 0x00RRGGBB that Xrgb8888 stores.
uint32_t TextureFormatOf(PixelFormat format) {
  return format == PixelFormat::Rgb565 ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_RGB888;
}
constexpr const char* kFormCaption = "Run";
// While something draws by itself (the Flash window), the screen is repainted this often.
constexpr uint32_t kContinuousFrameMs = 10;
// Foreign windows are looked at this often for a new size or their end.
constexpr uint32_t kForeignPollMs = 100;

// The system's virtual key code for an SDL key, as the show's key handlers read it.
uint16_t VirtualKey(SDL_Keycode k) {
  if (k >= SDLK_a && k <= SDLK_z) return static_cast<uint16_t>('A' + (k - SDLK_a));
  if (k >= SDLK_0 && k <= SDLK_9) return static_cast<uint16_t>('0' + (k - SDLK_0));
  if (k >= SDLK_F1 && k <= SDLK_F12) return static_cast<uint16_t>(112 + (k - SDLK_F1));
  if (k >= SDLK_KP_1 && k <= SDLK_KP_9) return static_cast<uint16_t>(97 + (k - SDLK_KP_1));
  switch (k) {
    case SDLK_BACKSPACE: return 8;
    case SDLK_TAB: return 9;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return 13;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: return 16;
    case SDLK_LCTRL:
    case SDLK_RCTRL: return 17;
    case SDLK_LALT:
    case SDLK_RALT: return 18;
    case SDLK_PAUSE: return 19;
    case SDLK_CAPSLOCK: return 20;
    case SDLK_ESCAPE: return 27;
    case SDLK_SPACE: return 32;
    case SDLK_PAGEUP: return 33;
    case SDLK_PAGEDOWN: return 34;
    case SDLK_END: return 35;
    case SDLK_HOME: return 36;
    case SDLK_LEFT: return 37;
    case SDLK_UP: return 38;
    case SDLK_RIGHT: return 39;
    case SDLK_DOWN: return 40;
    case SDLK_INSERT: return 45;
    case SDLK_DELETE: return 46;
    case SDLK_KP_0: return 96;
    case SDLK_KP_MULTIPLY: return 106;
    case SDLK_KP_PLUS: return 107;
    case SDLK_KP_MINUS: return 109;
    case SDLK_KP_PERIOD: return 110;
    case SDLK_KP_DIVIDE: return 111;
    case SDLK_SEMICOLON: return 186;
    case SDLK_EQUALS: return 187;
    case SDLK_COMMA: return 188;
    case SDLK_MINUS: return 189;
    case SDLK_PERIOD: return 190;
    case SDLK_SLASH: return 191;
    case SDLK_BACKQUOTE: return 192;
    case SDLK_LEFTBRACKET: return 219;
    case SDLK_BACKSLASH: return 220;
    case SDLK_RIGHTBRACKET: return 221;
    case SDLK_QUOTE: return 222;
    default: return 0;
  }
}

MouseButton ButtonOf(uint8_t b) {
  if (b == SDL_BUTTON_RIGHT) return MouseButton::Right;
  if (b == SDL_BUTTON_MIDDLE) return MouseButton::Middle;
  return MouseButton::Left;
}

Rect Union(const Rect& a, const Rect& b) {
  if (a.Empty()) return b;
  if (b.Empty()) return a;
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}
}  // namespace

SdlShowWindow::SdlShowWindow(SdlEventLoop& loop, ShowInput& input, SdlWindowTarget target)
    : loop_(loop), input_(input), target_(target) {
  loop_.AddHooks(this);
  if (target_.kind == SdlWindowTarget::Kind::Foreign) watch_ = std::make_unique<X11WindowWatch>(target_.foreign);
}

SdlShowWindow::~SdlShowWindow() {
  loop_.RemoveHooks(this);
  for (OtherMonitor& m : monitors_) {
    if (m.texture) SDL_DestroyTexture(m.texture);
    if (m.renderer) SDL_DestroyRenderer(m.renderer);
    if (m.window) SDL_DestroyWindow(m.window);
  }
  if (texture_) SDL_DestroyTexture(texture_);
  if (renderer_) SDL_DestroyRenderer(renderer_);
  if (window_) SDL_DestroyWindow(window_);
  SDL_ShowCursor(SDL_ENABLE);
}

void SdlShowWindow::SetEvents(ShowWindowEvents* events) {
  events_ = events;
  input_.SetEvents(events);
}

int32_t SdlShowWindow::ScreenWidth() const {
  switch (target_.kind) {
    case SdlWindowTarget::Kind::Window: return target_.width;
    case SdlWindowTarget::Kind::Foreign: return watch_ ? watch_->Width() : 0;
    case SdlWindowTarget::Kind::Area: return target_.area.Width();
    case SdlWindowTarget::Kind::FullScreen: break;
  }
  SDL_Rect r;
  return SDL_GetDisplayBounds(0, &r) == 0 ? r.w : 0;
}

int32_t SdlShowWindow::ScreenHeight() const {
  switch (target_.kind) {
    case SdlWindowTarget::Kind::Window: return target_.height;
    case SdlWindowTarget::Kind::Foreign: return watch_ ? watch_->Height() : 0;
    case SdlWindowTarget::Kind::Area: return target_.area.Height();
    case SdlWindowTarget::Kind::FullScreen: break;
  }
  SDL_Rect r;
  return SDL_GetDisplayBounds(0, &r) == 0 ? r.h : 0;
}

bool SdlShowWindow::CreateRenderer(bool software) {
  if (!software)
    renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
  if (!renderer_) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
  if (!renderer_) {
    SDL_Log("vitrine: no renderer: %s", SDL_GetError());
    return false;
  }
  return true;
}

bool SdlShowWindow::CreateOwnWindow(bool fullScreen) {
  if (window_) return true;
  uint32_t flags = SDL_WINDOW_HIDDEN;
  int32_t w = ScreenWidth(), h = ScreenHeight();
  if (fullScreen) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_BORDERLESS;
  window_ = SDL_CreateWindow(kFormCaption, fullScreen ? 0 : SDL_WINDOWPOS_CENTERED, fullScreen ? 0 : SDL_WINDOWPOS_CENTERED,
                             w, h, flags);
  if (!window_) {
    SDL_Log("vitrine: no window: %s", SDL_GetError());
    return false;
  }
  return CreateRenderer(false);
}

bool SdlShowWindow::CreateAreaWindow(const Rect& area) {
  if (window_) return true;
  window_ = SDL_CreateWindow(kFormCaption, area.left, area.top, area.Width(), area.Height(),
                             SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS | SDL_WINDOW_ALWAYS_ON_TOP);
  if (!window_) {
    SDL_Log("vitrine: no window: %s", SDL_GetError());
    return false;
  }
  return CreateRenderer(false);
}

void SdlShowWindow::AddMonitorWindow(const Rect& bounds, bool mirror) {
  OtherMonitor m;
  m.bounds = bounds;
  m.mirror = mirror;
  m.window = SDL_CreateWindow(kFormCaption, bounds.left, bounds.top, bounds.Width(), bounds.Height(),
                              SDL_WINDOW_BORDERLESS | SDL_WINDOW_ALWAYS_ON_TOP);
  if (!m.window) {
    SDL_Log("vitrine: no window on the monitor at %d,%d: %s", bounds.left, bounds.top, SDL_GetError());
    return;
  }
  m.renderer = SDL_CreateRenderer(m.window, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
  if (!m.renderer) m.renderer = SDL_CreateRenderer(m.window, -1, SDL_RENDERER_SOFTWARE);
  monitors_.push_back(m);
  redraw_ = true;
}

Point SdlShowWindow::FromMonitorWindow(uint32_t windowId, int32_t x, int32_t y, bool& found) const {
  found = false;
  SDL_Window* w = SDL_GetWindowFromID(windowId);
  for (const OtherMonitor& m : monitors_) {
    if (m.window != w) continue;
    found = true;
    int left = 0, top = 0;
    if (window_) SDL_GetWindowPosition(window_, &left, &top);
    return {x + m.bounds.left - left, y + m.bounds.top - top};
  }
  return {x, y};
}

void SdlShowWindow::PresentMonitorWindows() {
  for (OtherMonitor& m : monitors_) {
    if (!m.renderer) continue;
    SDL_SetRenderDrawColor(m.renderer, 0, 0, 0, 255);
    SDL_RenderClear(m.renderer);
    const Bitmap& shown = composited_ ? composite_ : surface_;
    if (m.mirror && !shown.Empty()) {
      if (!m.texture || m.textureWidth != shown.Width() || m.textureHeight != shown.Height() ||
          m.textureFormat != shown.Format()) {
        if (m.texture) SDL_DestroyTexture(m.texture);
        m.texture = SDL_CreateTexture(m.renderer, TextureFormatOf(shown.Format()), SDL_TEXTUREACCESS_STREAMING,
                                      shown.Width(), shown.Height());
        m.textureWidth = shown.Width();
        m.textureHeight = shown.Height();
        m.textureFormat = shown.Format();
      }
      if (m.texture) {
        SDL_UpdateTexture(m.texture, nullptr, shown.Row(0), static_cast<int>(shown.Stride()));
        // Scaled to fit the monitor, its proportions kept, centred on black.
        int64_t w = m.bounds.Width(), h = int64_t(shown.Height()) * w / shown.Width();
        if (h > m.bounds.Height()) {
          h = m.bounds.Height();
          w = int64_t(shown.Width()) * h / shown.Height();
        }
        SDL_Rect to{static_cast<int>((m.bounds.Width() - w) / 2), static_cast<int>((m.bounds.Height() - h) / 2),
                    static_cast<int>(w), static_cast<int>(h)};
        SDL_RenderCopy(m.renderer, m.texture, nullptr, &to);
      }
    }
    SDL_RenderPresent(m.renderer);
  }
}

bool SdlShowWindow::AttachForeign(uintptr_t window) {
  if (window_) return true;
  if (!watch_ || !watch_->Valid()) return false;
  window_ = SDL_CreateWindowFrom(reinterpret_cast<const void*>(window));
  if (!window_) {
    SDL_Log("vitrine: cannot draw into window 0x%lx: %s", static_cast<unsigned long>(window), SDL_GetError());
    return false;
  }
  foreign_ = true;
  // The software renderer draws through the window's own surface, which works in any
  // window; a GPU context would need the window made for it.
  return CreateRenderer(true);
}

void SdlShowWindow::MakeFullScreen() {
  switch (target_.kind) {
    case SdlWindowTarget::Kind::FullScreen: CreateOwnWindow(true); break;
    case SdlWindowTarget::Kind::Window: CreateOwnWindow(false); break;
    case SdlWindowTarget::Kind::Foreign: AttachForeign(target_.foreign); break;
    case SdlWindowTarget::Kind::Area: CreateAreaWindow(target_.area); break;
  }
}

bool SdlShowWindow::AttachToParent(uintptr_t parentHandle, int32_t& width, int32_t& height) {
  if (!watch_) watch_ = std::make_unique<X11WindowWatch>(parentHandle);
  target_.kind = SdlWindowTarget::Kind::Foreign;
  target_.foreign = parentHandle;
  if (!AttachForeign(parentHandle)) return false;
  width = watch_->Width();
  height = watch_->Height();
  return true;
}

void SdlShowWindow::Show() {
  if (!window_ || foreign_) return;
  SDL_ShowWindow(window_);
  SDL_RaiseWindow(window_);
}

void SdlShowWindow::BringToFront() {
  if (window_ && !foreign_) SDL_RaiseWindow(window_);
}

void SdlShowWindow::HideCursor() {
  cursorHidden_ = true;
  SDL_ShowCursor(SDL_DISABLE);
}

void SdlShowWindow::ShowCursor() {
  cursorHidden_ = false;
  SDL_ShowCursor(SDL_ENABLE);
}

void SdlShowWindow::SetVideoPanel(const Rect& bounds, bool visible) {
  videoPanel_ = bounds;
  videoPanelVisible_ = visible;
  input_.SetVideoPanel(bounds, visible);
  redraw_ = true;
}

void SdlShowWindow::Present(const Rect& dirty) { dirty_ = Union(dirty_, dirty.Intersect(surface_.Bounds())); }

Point SdlShowWindow::ToShowArea(int32_t x, int32_t y) const {
  int ww = 0, wh = 0;
  if (window_) SDL_GetWindowSize(window_, &ww, &wh);
  if (ww <= 0 || wh <= 0 || (ww == surface_.Width() && wh == surface_.Height())) return {x, y};
  return {static_cast<int32_t>(int64_t(x) * surface_.Width() / ww), static_cast<int32_t>(int64_t(y) * surface_.Height() / wh)};
}

void SdlShowWindow::Deliver(const InputEvent& e) {
  if (target_.ignoreInput) return;
  input_.SetArea(surface_.Width(), surface_.Height());
  input_.Deliver(e);
}

// The window an input or window event belongs to; 0 for the others.
static uint32_t EventWindowId(const SDL_Event& ev) {
  switch (ev.type) {
    case SDL_WINDOWEVENT: return ev.window.windowID;
    case SDL_MOUSEMOTION: return ev.motion.windowID;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: return ev.button.windowID;
    case SDL_KEYDOWN:
    case SDL_KEYUP: return ev.key.windowID;
    case SDL_TEXTINPUT: return ev.text.windowID;
    default: return 0;
  }
}

bool SdlShowWindow::OwnsWindow(uint32_t windowId) const {
  SDL_Window* w = SDL_GetWindowFromID(windowId);
  if (!w) return true;  // a window SDL no longer knows: as before, the show's
  if (w == window_) return true;
  for (const OtherMonitor& m : monitors_)
    if (m.window == w) return true;
  return false;
}

void SdlShowWindow::HandleEvent(const SDL_Event& ev) {
  // With a show on each monitor, each window takes its own events only.
  if (uint32_t id = EventWindowId(ev); id != 0 && !OwnsWindow(id)) return;
  switch (ev.type) {
    case SDL_QUIT:
      // A signal (the session ending, Ctrl+C in a terminal): the system closes the show.
      if (events_) events_->SystemClose();
      return;
    case SDL_WINDOWEVENT:
      if (ev.window.event == SDL_WINDOWEVENT_CLOSE && target_.kind == SdlWindowTarget::Kind::Window) {
        // A window's close box is one more way of asking the show to close.
        if (events_ && !target_.ignoreInput) events_->Close1Click();
      } else if (ev.window.event == SDL_WINDOWEVENT_EXPOSED || ev.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
        redraw_ = true;
      }
      return;
    case SDL_MOUSEMOTION: {
      bool other = false;
      Point p = FromMonitorWindow(ev.motion.windowID, ev.motion.x, ev.motion.y, other);
      if (!other) p = ToShowArea(ev.motion.x, ev.motion.y);
      Deliver(InputEvent::Move(p.x, p.y));
      return;
    }
    case SDL_MOUSEBUTTONDOWN: {
      bool other = false;
      Point p = FromMonitorWindow(ev.button.windowID, ev.button.x, ev.button.y, other);
      if (!other) p = ToShowArea(ev.button.x, ev.button.y);
      Deliver(InputEvent::Down(ButtonOf(ev.button.button), p.x, p.y, ev.button.clicks));
      return;
    }
    case SDL_MOUSEBUTTONUP: {
      bool other = false;
      Point p = FromMonitorWindow(ev.button.windowID, ev.button.x, ev.button.y, other);
      if (!other) p = ToShowArea(ev.button.x, ev.button.y);
      Deliver(InputEvent::Up(ButtonOf(ev.button.button), p.x, p.y));
      return;
    }
    case SDL_KEYDOWN: {
      uint16_t vk = VirtualKey(ev.key.keysym.sym);
      if (vk != 0) Deliver(InputEvent::Key(vk));
      return;
    }
    case SDL_KEYUP: {
      uint16_t vk = VirtualKey(ev.key.keysym.sym);
      if (vk != 0) Deliver(InputEvent::KeyRelease(vk));
      return;
    }
    case SDL_TEXTINPUT:
      for (char c : Utf8ToCp1252(ev.text.text)) Deliver(InputEvent::Char(c));
      return;
    default: return;
  }
}

uint32_t SdlShowWindow::MaxWaitMs() {
  if ((flash_ && flash_->FlashWindowOpen()) || input_.OverlayVisible() || videoPanelVisible_) return kContinuousFrameMs;
  return foreign_ || watch_ ? kForeignPollMs : 0;
}

void SdlShowWindow::UploadRows(const Bitmap& source, int32_t top, int32_t bottom) {
  SDL_Rect rows{0, top, source.Width(), bottom - top};
  SDL_UpdateTexture(texture_, &rows, source.Row(top), static_cast<int>(source.Stride()));
}

void SdlShowWindow::Present() {
  if (watch_ && !gone_) {
    bool resized = watch_->Poll();
    if (watch_->Destroyed()) {
      // The window we draw into went away: nothing is drawn any more and the show ends.
      gone_ = true;
      if (events_) events_->SystemClose();
      loop_.Quit();
      return;
    }
    if (resized) {
      if (window_) SDL_SetWindowSize(window_, watch_->Width(), watch_->Height());
      redraw_ = true;
      if (onResize_) onResize_(watch_->Width(), watch_->Height());
    }
  }
  if (gone_ || !renderer_ || surface_.Empty()) return;

  if (!texture_ || textureWidth_ != surface_.Width() || textureHeight_ != surface_.Height() ||
      textureFormat_ != surface_.Format()) {
    if (texture_) SDL_DestroyTexture(texture_);
    texture_ = SDL_CreateTexture(renderer_, TextureFormatOf(surface_.Format()), SDL_TEXTUREACCESS_STREAMING,
                                 surface_.Width(), surface_.Height());
    if (!texture_) return;
    textureWidth_ = surface_.Width();
    textureHeight_ = surface_.Height();
    textureFormat_ = surface_.Format();
    dirty_ = surface_.Bounds();
    composited_ = false;
  }

  bool overlayChanged = input_.TakeOverlayChanged();
  bool flashOpen = flash_ && flash_->FlashWindowOpen();
  bool composite = flashOpen || input_.OverlayVisible() || videoPanelVisible_;
  if (composite) {
    // Things drawn over the show go onto a copy, so the surface keeps what the show drew.
    if (!dirty_.Empty() || overlayChanged || flashOpen || videoPanelVisible_ || redraw_ || !composited_) {
      composite_ = surface_;
      if (videoPanelVisible_) {
        videoFrame_.Reset(std::max(videoPanel_.Width(), 1), std::max(videoPanel_.Height(), 1), surface_.Format());
        if (videoPainter_) videoPainter_(videoFrame_);  // black until the video has a picture
        Canvas(composite_).Draw(videoPanel_.left, videoPanel_.top, videoFrame_);
      }
      if (flash_) flash_->PaintOver(composite_);
      input_.PaintOverlays(composite_);
      UploadRows(composite_, 0, composite_.Height());
      composited_ = true;
      redraw_ = true;
    }
  } else {
    if (composited_ || overlayChanged) dirty_ = surface_.Bounds();  // what the overlay covered comes back
    composited_ = false;
    if (!dirty_.Empty()) {
      UploadRows(surface_, dirty_.top, dirty_.bottom);
      redraw_ = true;
    }
  }
  dirty_ = {};
  if (!redraw_) return;
  redraw_ = false;
  SDL_RenderClear(renderer_);
  SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
  SDL_RenderPresent(renderer_);
  PresentMonitorWindows();
}

}  // namespace vitrine
