#include "backends/win32/win32_mci_player.h"

#include <windows.h>
#include <mmsystem.h>
// The interfaces have methods of these names; the ANSI/wide macros would rename them.
#undef PostMessage
#undef SendMessage
#undef MessageBox

#include <cstdio>
#include <cstdlib>

namespace vitrine {

namespace {
int nextPlayer = 1;
}

Win32MciPlayer::Win32MciPlayer(uintptr_t videoPanel)
    : alias_("vitrine_mp" + std::to_string(nextPlayer++)), videoPanel_(videoPanel) {}

bool Win32MciPlayer::Command(const std::string& command, std::string* reply) {
  char buffer[256] = {};
  MCIERROR error = mciSendStringA(command.c_str(), buffer, sizeof buffer, nullptr);
  if (reply) *reply = buffer;
  return error == 0;
}

int64_t Win32MciPlayer::Status(const char* item) {
  if (!open_) return 0;
  std::string reply;
  if (!Command("status " + alias_ + " " + item, &reply)) return 0;
  return std::strtoll(reply.c_str(), nullptr, 10);
}

bool Win32MciPlayer::Open(const std::string& path) {
  Close();
  // The device type follows the file's extension; a video gets its picture in the panel.
  std::string open = "open \"" + path + "\" alias " + alias_;
  if (videoPanel_) open += " style child parent " + std::to_string(videoPanel_);
  if (!Command(open) && !(videoPanel_ && Command("open \"" + path + "\" alias " + alias_))) return false;
  open_ = true;
  played_ = false;
  Command("set " + alias_ + " time format milliseconds");
  if (videoPanel_) Command("window " + alias_ + " handle " + std::to_string(videoPanel_));
  return true;
}

void Win32MciPlayer::Close() {
  if (open_) Command("close " + alias_);
  open_ = false;
}

void Win32MciPlayer::Play() {
  if (!open_) return;
  Command("play " + alias_);
  played_ = true;
}

void Win32MciPlayer::Pause() {
  if (open_) Command("pause " + alias_);
}

void Win32MciPlayer::Resume() {
  if (!open_) return;
  // A track opened but never played has nothing to resume: it starts.
  if (!played_ || !Command("resume " + alias_)) Play();
}

void Win32MciPlayer::Stop() {
  if (open_) Command("stop " + alias_);
}

void Win32MciPlayer::Seek(int64_t positionMs) {
  if (open_) Command("seek " + alias_ + " to " + std::to_string(positionMs));
}

int64_t Win32MciPlayer::PositionMs() { return Status("position"); }
int64_t Win32MciPlayer::LengthMs() { return Status("length"); }

Rect Win32MciPlayer::SourceRect() {
  std::string reply;
  if (!open_ || !videoPanel_ || !Command("where " + alias_ + " source", &reply)) return {};
  int x = 0, y = 0, w = 0, h = 0;
  if (std::sscanf(reply.c_str(), "%d %d %d %d", &x, &y, &w, &h) != 4) return {};
  return {x, y, x + w, y + h};
}

void Win32MciPlayer::SetDisplayRect(const Rect& rect) {
  if (!open_ || !videoPanel_) return;
  Command("put " + alias_ + " destination at " + std::to_string(rect.left) + " " + std::to_string(rect.top) + " " +
          std::to_string(rect.Width()) + " " + std::to_string(rect.Height()));
}

}  // namespace vitrine
