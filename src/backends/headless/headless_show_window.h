#pragma once
// The show window without a screen: the surface is the screen. Tests and the renderer read
// it, and script input by calling the events directly.
#include "platform/show_window.h"

namespace vitrine {

class HeadlessShowWindow final : public ShowWindow {
 public:
  HeadlessShowWindow(int32_t screenWidth, int32_t screenHeight)
      : screenWidth_(screenWidth), screenHeight_(screenHeight) {}

  void SetEvents(ShowWindowEvents* events) override { events_ = events; }
  ShowWindowEvents* Events() const { return events_; }

  int32_t ScreenWidth() const override { return screenWidth_; }
  int32_t ScreenHeight() const override { return screenHeight_; }
  void MakeFullScreen() override { fullScreen_ = true; }
  // Any non-zero handle is a parent of the configured preview size.
  bool AttachToParent(uintptr_t parentHandle, int32_t& width, int32_t& height) override;
  void SetPreviewParentSize(int32_t width, int32_t height) { previewWidth_ = width; previewHeight_ = height; }
  void BringToFront() override { ++bringToFrontCount_; }

  Bitmap& Surface() override { return surface_; }
  void Present(const Rect& dirty) override;
  // Everything presented since the last call (empty when nothing changed).
  Rect TakeDirty();

  void HideCursor() override { cursorHidden_ = true; }
  void ShowCursor() override { cursorHidden_ = false; }
  bool CursorHidden() const override { return cursorHidden_; }

  void SetPopupMenu(std::optional<std::array<std::string, 2>> captions) override { popup_ = std::move(captions); }
  const std::optional<std::array<std::string, 2>>& PopupMenu() const { return popup_; }

  void SetVideoPanel(const Rect& bounds, bool visible) override {
    videoPanel_ = bounds;
    videoPanelVisible_ = visible;
  }
  Rect VideoPanel() const { return videoPanel_; }
  bool VideoPanelVisible() const { return videoPanelVisible_; }

  bool FullScreen() const { return fullScreen_; }
  int BringToFrontCount() const { return bringToFrontCount_; }

 private:
  int32_t screenWidth_, screenHeight_;
  int32_t previewWidth_ = 152, previewHeight_ = 112;
  ShowWindowEvents* events_ = nullptr;
  Bitmap surface_{0, 0, kDefaultShowPixelFormat};
  Rect dirty_{};
  bool fullScreen_ = false;
  bool cursorHidden_ = false;
  int bringToFrontCount_ = 0;
  std::optional<std::array<std::string, 2>> popup_;
  Rect videoPanel_{};
  bool videoPanelVisible_ = false;
};

}  // namespace vitrine
