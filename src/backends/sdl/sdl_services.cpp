#include "backends/sdl/sdl_services.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "core/text.h"
#include "backends/sdl/x11_window_watch.h"

extern char** environ;

namespace vitrine {

bool SdlServices::AcquireSingleInstance(const std::string& name) {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  std::string folder = runtime && *runtime ? runtime : "/tmp";
  std::string path = folder + "/" + name + "-" + std::to_string(getuid()) + ".lock";
  int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  // Without a lock file the run goes on unprotected, as when the mutex can't be made.
  if (fd < 0) return true;
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    close(fd);
    return false;
  }
  lockFd_ = fd;
  return true;
}

void SdlServices::ReleaseSingleInstance() {
  if (lockFd_ >= 0) close(lockFd_);
  lockFd_ = -1;
}

Bitmap SdlServices::DesktopSnapshot() { return X11DesktopSnapshot(); }

uint64_t SdlServices::TotalPhysicalMemory() {
  long pages = sysconf(_SC_PHYS_PAGES), size = sysconf(_SC_PAGE_SIZE);
  return pages > 0 && size > 0 ? uint64_t(pages) * uint64_t(size) : 0;
}

uint64_t SdlServices::ClockSeed() {
  if (const char* seed = std::getenv("VITRINE_SEED"); seed && *seed) return std::strtoull(seed, nullptr, 10);
  return static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
}

void SdlServices::ShellOpen(const std::string& address) {
  pid_t pid = 0;
  char program[] = "xdg-open";
  std::string copy = address;
  char* argv[] = {program, copy.data(), nullptr};
  if (posix_spawnp(&pid, program, nullptr, nullptr, argv, environ) == 0) {
    // Not waited for long: the browser may stay; its exit is reaped when it comes.
    waitpid(pid, nullptr, WNOHANG);
  }
}

void SdlServices::MessageBox(const std::string& text) { std::fprintf(stderr, "%s\n", Cp1252ToUtf8(text).c_str()); }

bool SdlServices::GetPassword(std::string& entry) {
  input_.OpenPrompt();
  loop_.RunWhile([&] { return input_.Prompt() && input_.Prompt()->State() == PasswordPrompt::Result::Pending; });
  bool ok = input_.Prompt() && input_.Prompt()->State() == PasswordPrompt::Result::Ok;
  if (ok) entry = input_.Prompt()->Entry();
  input_.ClosePrompt();
  return ok;
}

}  // namespace vitrine
