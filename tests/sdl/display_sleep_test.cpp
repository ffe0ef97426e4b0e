// Who may blank the display while a show runs, as each program reports it from SDL: `vitrine
// play` keeps it awake, vitrine-saver leaves it to the daemon wherever it draws.
#include <gtest/gtest.h>

#include "app/show_test_rig.h"
#include "x_session.h"

namespace vitrine::test {
namespace {

constexpr int kStartMs = 20000;

struct DisplaySleep : ::testing::Test {
  XServer x;
  std::filesystem::path dir;

  void SetUp() override {
    if (!x.display()) GTEST_SKIP() << "no Xvfb";
    dir = std::filesystem::temp_directory_path() / ("vitrine-sleep-" + std::to_string(getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir / "config");
  }
  void TearDown() override { std::filesystem::remove_all(dir); }

  // A package of one picture shown for a minute; appended to `player` when one is given.
  std::string WritePackage(const std::string& player = "") {
    ShowRig rig;
    rig.Set(5, "60");
    rig.AddPicture(RGBColor(40, 40, 200), 64, 48);
    rig.content.ProjectRecord = rig.project;
    std::vector<uint8_t> bytes;
    if (!player.empty()) {
      std::ifstream in(player, std::ios::binary);
      bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    auto package = BuildPackage(rig.content, static_cast<int64_t>(bytes.size()));
    bytes.insert(bytes.end(), package.begin(), package.end());
    std::string path = (dir / (player.empty() ? "show.pkg" : "saver")).string();
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!player.empty()) chmod(path.c_str(), 0755);
    return path;
  }

  std::map<std::string, std::string> Environment() {
    return {{"DISPLAY", x.name()},         {"SDL_AUDIODRIVER", "dummy"},       {"XDG_CONFIG_HOME", (dir / "config").string()},
            {"XDG_RUNTIME_DIR", dir.string()}, {"VITRINE_REPORT", "1"}};
  }

  // The program's first report line: what SDL says of the system's screen saver once the
  // show window stands. The program is ended afterwards.
  std::string DisplayReport(std::vector<std::string> args, const std::map<std::string, std::string>& env) {
    Player player(std::move(args), env);
    if (!player.Started()) return "(not started)";
    std::string line = player.NextLine(kStartMs);
    player.Signal(SIGTERM);
    EXPECT_TRUE(player.WaitExit(5000)) << "did not end on SIGTERM";
    return line;
  }
};

TEST_F(DisplaySleep, PlayKeepsTheDisplayAwakeTheSaverLeavesItToTheDaemon) {
  EXPECT_EQ(DisplayReport({VITRINE_TOOL_PATH, "play", WritePackage(), "--window", "320x240"}, Environment()),
            "display kept awake");

  std::string saver = WritePackage(VITRINE_SAVER_PATH);
  Window daemonWindow = XCreateSimpleWindow(x.display(), DefaultRootWindow(x.display()), 0, 0, 640, 480, 0, 0, 0);
  XMapWindow(x.display(), daemonWindow);
  XSync(x.display(), False);
  auto inDaemon = Environment();
  inDaemon["XSCREENSAVER_WINDOW"] = std::to_string(daemonWindow);
  EXPECT_EQ(DisplayReport({saver, "-root"}, inDaemon), "display may sleep") << "in the daemon's window";

  // Also in a window of its own, and against an environment that asks SDL to hold it off.
  auto holdOff = Environment();
  holdOff["SDL_VIDEO_ALLOW_SCREENSAVER"] = "0";
  EXPECT_EQ(DisplayReport({saver, "-window"}, holdOff), "display may sleep") << "in its own window";
}

}  // namespace
}  // namespace vitrine::test
