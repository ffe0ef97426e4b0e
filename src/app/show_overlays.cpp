#include "app/show_overlays.h"

#include <algorithm>

#include "raster/canvas.h"

namespace vitrine {

namespace {
constexpr Color kFace = RGBColor(212, 208, 200);
constexpr Color kLight = RGBColor(255, 255, 255);
constexpr Color kShadow = RGBColor(128, 128, 128);
constexpr Color kDark = RGBColor(64, 64, 64);
constexpr Color kCaption = RGBColor(10, 36, 106);
constexpr Color kCaptionEnd = RGBColor(166, 202, 240);
constexpr Color kHighlight = RGBColor(10, 36, 106);
constexpr int32_t kTextPadding = 18;

// A raised (or sunken) 3D edge two pixels wide.
void Edge(Canvas& c, const Rect& r, bool raised) {
  Color outerTopLeft = raised ? kLight : kShadow, outerBottomRight = raised ? kDark : kLight;
  Color innerTopLeft = raised ? kFace : kDark, innerBottomRight = raised ? kShadow : kFace;
  c.FillRect({r.left, r.top, r.right, r.top + 1}, outerTopLeft);
  c.FillRect({r.left, r.top, r.left + 1, r.bottom}, outerTopLeft);
  c.FillRect({r.left, r.bottom - 1, r.right, r.bottom}, outerBottomRight);
  c.FillRect({r.right - 1, r.top, r.right, r.bottom}, outerBottomRight);
  c.FillRect({r.left + 1, r.top + 1, r.right - 1, r.top + 2}, innerTopLeft);
  c.FillRect({r.left + 1, r.top + 1, r.left + 2, r.bottom - 1}, innerTopLeft);
  c.FillRect({r.left + 1, r.bottom - 2, r.right - 1, r.bottom - 1}, innerBottomRight);
  c.FillRect({r.right - 2, r.top + 1, r.right - 1, r.bottom - 1}, innerBottomRight);
}

void CentredText(Canvas& c, TextPainter& text, const Rect& r, const FontRecord& font, const std::string& s) {
  TextSize size = text.Measure(font, s);
  text.Draw(c, r.left + (r.Width() - size.width) / 2, r.top + (r.Height() - size.height) / 2, font, s);
}

FontRecord Coloured(Color colour) {
  FontRecord f = OverlayFont();
  f.Color = static_cast<int32_t>(colour);
  return f;
}
}  // namespace

FontRecord OverlayFont() {
  FontRecord f;
  f.Name = "Arial";
  f.Height = -12;
  f.Color = 0;
  return f;
}

// --- Password prompt ---------------------------------------------------------------------------

PasswordPrompt::PasswordPrompt(int32_t areaWidth, int32_t areaHeight) {
  int32_t w = kClientWidth + 2 * kBorder, h = kClientHeight + kCaptionHeight + 2 * kBorder;
  int32_t left = (areaWidth - w) / 2, top = (areaHeight - h) / 2;
  bounds_ = {left, top, left + w, top + h};
}

Rect PasswordPrompt::Client(const Rect& r) const {
  int32_t x = bounds_.left + kBorder, y = bounds_.top + kBorder + kCaptionHeight;
  return {r.left + x, r.top + y, r.right + x, r.bottom + y};
}

void PasswordPrompt::KeyDown(uint16_t key) {
  if (result_ != Result::Pending) return;
  if (key == kVkReturnKey) result_ = Result::Ok;
  else if (key == kVkEscapeKey) result_ = Result::Cancel;
  else if (key == kVkBack && !entry_.empty()) entry_.pop_back();
}

void PasswordPrompt::Character(char c) {
  if (result_ != Result::Pending) return;
  if (static_cast<unsigned char>(c) < 32 || c == 127) return;  // control keys come as KeyDown
  if (entry_.size() < kMaxLength) entry_.push_back(c);
}

void PasswordPrompt::MouseDown(int32_t x, int32_t y) {
  if (OkButton().Contains(x, y)) pressed_ = Pressed::Ok;
  else if (CancelButton().Contains(x, y)) pressed_ = Pressed::Cancel;
  else pressed_ = Pressed::None;
}

void PasswordPrompt::MouseUp(int32_t x, int32_t y) {
  // A button acts when it is released over itself, as push buttons do.
  if (result_ == Result::Pending) {
    if (pressed_ == Pressed::Ok && OkButton().Contains(x, y)) result_ = Result::Ok;
    else if (pressed_ == Pressed::Cancel && CancelButton().Contains(x, y)) result_ = Result::Cancel;
  }
  pressed_ = Pressed::None;
}

void PasswordPrompt::Paint(Bitmap& screen, TextPainter& text) const {
  Canvas c(screen);
  c.FillRect(bounds_, kFace);
  Edge(c, bounds_, true);
  Rect caption{bounds_.left + kBorder, bounds_.top + kBorder, bounds_.right - kBorder,
               bounds_.top + kBorder + kCaptionHeight};
  // The caption bar's gradient, from the active colour to its light end.
  for (int32_t x = caption.left; x < caption.right; ++x) {
    int32_t t = (x - caption.left) * 255 / std::max(caption.Width() - 1, 1);
    auto mix = [t](uint8_t a, uint8_t b) { return uint8_t(a + (b - a) * t / 255); };
    c.FillRect({x, caption.top, x + 1, caption.bottom},
               RGBColor(mix(RedOf(kCaption), RedOf(kCaptionEnd)), mix(GreenOf(kCaption), GreenOf(kCaptionEnd)),
                        mix(BlueOf(kCaption), BlueOf(kCaptionEnd))));
  }
  FontRecord title = Coloured(kLight);
  title.Bold = true;
  TextSize ts = text.Measure(title, kPasswordPromptCaption);
  text.Draw(c, caption.left + 4, caption.top + (caption.Height() - ts.height) / 2, title, kPasswordPromptCaption);

  FontRecord plain = Coloured(kBlack);
  Rect label = Client({5, 3, 5 + 200, 3 + 16});
  text.Draw(c, label.left, label.top, plain, kPasswordPromptLabel);

  Rect edit = EditBox();
  c.FillRect(edit, kLight);
  Edge(c, edit, false);
  std::string stars(entry_.size(), '*');
  TextSize ss = text.Measure(plain, stars.empty() ? std::string("*") : stars);
  int32_t textTop = edit.top + (edit.Height() - ss.height) / 2;
  // Stars that no longer fit scroll out to the left, as in an edit box.
  Bitmap inside(edit.Width() - 6, edit.Height() - 4, screen.Format());
  Canvas ic(inside);
  ic.FillRect(inside.Bounds(), kLight);
  TextSize drawn = stars.empty() ? TextSize{} : text.Measure(plain, stars);
  int32_t shift = std::max(0, drawn.width - (inside.Width() - 4));
  if (!stars.empty()) text.Draw(ic, 1 - shift, textTop - (edit.top + 2), plain, stars);
  int32_t caret = std::min(1 + drawn.width - shift, inside.Width() - 2);
  ic.FillRect({caret, 3, caret + 1, inside.Height() - 3}, kBlack);
  c.Draw(edit.left + 3, edit.top + 2, inside);

  auto button = [&](const Rect& r, const char* caption, bool isDefault, bool down) {
    c.FillRect(r, kFace);
    Rect inner = r;
    if (isDefault) {
      c.Rectangle(r, kBlack, std::nullopt);
      inner = {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    }
    Edge(c, inner, !down);
    Rect label = down ? Rect{inner.left + 1, inner.top + 1, inner.right + 1, inner.bottom + 1} : inner;
    CentredText(c, text, label, plain, caption);
  };
  button(OkButton(), kPasswordPromptOk, true, pressed_ == Pressed::Ok);
  button(CancelButton(), kPasswordPromptCancel, false, pressed_ == Pressed::Cancel);
}

// --- Popup menu ---------------------------------------------------------------------------------

PopupMenu::PopupMenu(std::array<std::string, 2> captions, int32_t x, int32_t y, int32_t areaWidth,
                     int32_t areaHeight, TextPainter& text)
    : captions_(std::move(captions)) {
  int32_t width = kMinWidth;
  for (const auto& caption : captions_)
    width = std::max(width, text.Measure(OverlayFont(), caption).width + 2 * kTextPadding + 6);
  int32_t height = 2 * kItemHeight + 6;
  // Opened at the pointer, flipped to the left or upwards where it would leave the area.
  int32_t left = x + width > areaWidth ? x - width : x;
  int32_t top = y + height > areaHeight ? y - height : y;
  left = std::clamp(left, 0, std::max(areaWidth - width, 0));
  top = std::clamp(top, 0, std::max(areaHeight - height, 0));
  bounds_ = {left, top, left + width, top + height};
}

Rect PopupMenu::Item(int32_t index) const {
  int32_t top = bounds_.top + 3 + index * kItemHeight;
  return {bounds_.left + 3, top, bounds_.right - 3, top + kItemHeight};
}

int32_t PopupMenu::ItemAt(int32_t x, int32_t y) const {
  for (int32_t i = 0; i < 2; ++i)
    if (Item(i).Contains(x, y)) return i;
  return -1;
}

void PopupMenu::Choose(int32_t index) { choice_ = index == 0 ? Choice::Setting : Choice::Stop; }

void PopupMenu::MouseMove(int32_t x, int32_t y) {
  if (choice_ != Choice::None) return;
  int32_t at = ItemAt(x, y);
  if (at >= 0) {
    highlighted_ = at;
    entered_ = true;
  } else if (!bounds_.Contains(x, y)) {
    highlighted_ = -1;
  }
}

void PopupMenu::MouseDown(int32_t x, int32_t y) {
  if (choice_ != Choice::None) return;
  int32_t at = ItemAt(x, y);
  if (at >= 0) Choose(at);
  else if (!bounds_.Contains(x, y)) choice_ = Choice::Dismissed;
}

void PopupMenu::MouseUp(int32_t x, int32_t y) {
  if (choice_ != Choice::None || !entered_) return;
  int32_t at = ItemAt(x, y);
  if (at >= 0) Choose(at);
}

void PopupMenu::KeyDown(uint16_t key) {
  if (choice_ != Choice::None) return;
  if (key == kVkDown) highlighted_ = highlighted_ < 0 ? 0 : (highlighted_ + 1) % 2;
  else if (key == kVkUp) highlighted_ = highlighted_ < 0 ? 1 : (highlighted_ + 1) % 2;
  else if (key == kVkReturnKey && highlighted_ >= 0) Choose(highlighted_);
  else if (key == kVkEscapeKey) choice_ = Choice::Dismissed;
}

void PopupMenu::Paint(Bitmap& screen, TextPainter& text) const {
  Canvas c(screen);
  c.FillRect(bounds_, kFace);
  Edge(c, bounds_, true);
  for (int32_t i = 0; i < 2; ++i) {
    Rect r = Item(i);
    bool lit = i == highlighted_;
    if (lit) c.FillRect(r, kHighlight);
    FontRecord font = Coloured(lit ? kLight : kBlack);
    TextSize size = text.Measure(font, captions_[i]);
    text.Draw(c, r.left + kTextPadding, r.top + (r.Height() - size.height) / 2, font, captions_[i]);
  }
}

}  // namespace vitrine
