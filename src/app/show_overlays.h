#pragma once
// The two things a real screen draws over the show by itself: the password prompt and the
// show's popup menu. Both are plain models (state, keys and clicks, painting onto a bitmap),
// so that a platform only maps its events onto them and paints them where it presents.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "app/text_painter.h"
#include "raster/bitmap.h"
#include "raster/geometry.h"

namespace vitrine {

inline constexpr const char* kPasswordPromptCaption = "Screensaver Password";
inline constexpr const char* kPasswordPromptLabel = "Please input password:";
inline constexpr const char* kPasswordPromptOk = "OK";
inline constexpr const char* kPasswordPromptCancel = "Cancel";

// Virtual key codes the overlays and the show read.
inline constexpr uint16_t kVkBack = 8;
inline constexpr uint16_t kVkTab = 9;
inline constexpr uint16_t kVkReturnKey = 13;
inline constexpr uint16_t kVkEscapeKey = 27;
inline constexpr uint16_t kVkUp = 38;
inline constexpr uint16_t kVkDown = 40;

// TfGetpassword: caption, label, the masked edit box, OK (default, Enter) and Cancel (Esc),
// centred on the show area. Client area 259 x 82 under a caption bar.
class PasswordPrompt {
 public:
  enum class Result { Pending, Ok, Cancel };
  static constexpr int32_t kClientWidth = 259, kClientHeight = 82;
  static constexpr int32_t kCaptionHeight = 20, kBorder = 2;
  // The edit box takes no more than this many characters.
  static constexpr size_t kMaxLength = 255;

  // Centres the dialog in an area of the given size.
  explicit PasswordPrompt(int32_t areaWidth, int32_t areaHeight);

  void KeyDown(uint16_t virtualKey);
  void Character(char c);  // a typed ANSI character
  void MouseDown(int32_t x, int32_t y);
  void MouseUp(int32_t x, int32_t y);

  Result State() const { return result_; }
  const std::string& Entry() const { return entry_; }
  // The whole dialog, and its parts, in area coordinates.
  Rect Bounds() const { return bounds_; }
  Rect OkButton() const { return Client({26, 52, 26 + 75, 52 + 25}); }
  Rect CancelButton() const { return Client({154, 52, 154 + 75, 52 + 25}); }
  Rect EditBox() const { return Client({8, 22, 8 + 241, 22 + 21}); }

  void Paint(Bitmap& screen, TextPainter& text) const;

 private:
  Rect Client(const Rect& r) const;

  Rect bounds_;
  std::string entry_;
  Result result_ = Result::Pending;
  enum class Pressed { None, Ok, Cancel } pressed_ = Pressed::None;
};

// The show's popup menu (`Setting1` and `Close1`), opened at the mouse and kept inside the
// show area.
class PopupMenu {
 public:
  enum class Choice { None, Setting, Stop, Dismissed };
  static constexpr int32_t kItemHeight = 22;
  static constexpr int32_t kMinWidth = 120;

  PopupMenu(std::array<std::string, 2> captions, int32_t x, int32_t y, int32_t areaWidth, int32_t areaHeight,
            TextPainter& text);

  void MouseMove(int32_t x, int32_t y);
  // Any press or release: on an item chooses it (releases only after the pointer has been on
  // the menu, so the right click that opened it does not choose), outside dismisses.
  void MouseDown(int32_t x, int32_t y);
  void MouseUp(int32_t x, int32_t y);
  void KeyDown(uint16_t virtualKey);

  Choice Result() const { return choice_; }
  int32_t Highlighted() const { return highlighted_; }
  Rect Bounds() const { return bounds_; }
  Rect Item(int32_t index) const;

  void Paint(Bitmap& screen, TextPainter& text) const;

 private:
  int32_t ItemAt(int32_t x, int32_t y) const;
  void Choose(int32_t index);

  std::array<std::string, 2> captions_;
  Rect bounds_;
  int32_t highlighted_ = -1;
  bool entered_ = false;
  Choice choice_ = Choice::None;
};

// The font the overlays write in.
FontRecord OverlayFont();

}  // namespace vitrine
