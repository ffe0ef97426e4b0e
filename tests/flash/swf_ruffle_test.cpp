// The writer's movies drawn by our player against the open Flash player Ruffle in headless
// Chromium (tests/flash/reference/render.mjs). Runs where VITRINE_FLASH_REFERENCE=1 is set
// (tests/flash/reference/run.sh sets it once it found node, Chromium and the reference's npm
// packages installed, so there a missing one fails); skipped elsewhere. Outside
// the anti-aliased edges the mean difference per channel is at most 3 of 255 and no 16 x 16
// block is off by more than 24. With VITRINE_FLASH_REFERENCE_KEEP=FOLDER the reference frames
// are kept there as NAME.png (the committed ones in tests/data/flash/ruffle come from this).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>

#include "flash/reference_movies.h"
#include "raster/image_files.h"

namespace vitrine::test {
namespace {

namespace fs = std::filesystem;

TEST(SwfRuffle, WriterMoviesMatchTheReferencePlayer) {
  const char* on = std::getenv("VITRINE_FLASH_REFERENCE");
  if (!on || std::string(on) != "1") GTEST_SKIP() << "VITRINE_FLASH_REFERENCE=1 runs the reference player";
  if (!fs::exists("reference/node_modules/@ruffle-rs/ruffle") || !fs::exists("/usr/bin/chromium"))
    FAIL() << "the reference player is not installed (scripts/setup-debian.sh)";
  fs::path dir = fs::temp_directory_path() / ("vitrine-ruffle-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" + std::to_string(std::rand()));
  fs::create_directories(dir);
  auto movies = ReferenceMovies();
  for (auto& [name, bytes] : movies)
    std::ofstream(dir / (name + ".swf"), std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  std::string command = "node reference/render.mjs '" + dir.string() + "' > '" + (dir / "render.log").string() + "' 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << "see " << (dir / "render.log");
  const char* keepIn = std::getenv("VITRINE_FLASH_REFERENCE_KEEP");
  bool keep = false;
  for (auto& [name, bytes] : movies) {
    SCOPED_TRACE(name);
    std::ifstream in(dir / (name + ".ruffle.png"), std::ios::binary);
    Bitmap theirs = DecodePng(std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), {}));
    ASSERT_FALSE(theirs.Empty());
    if (keepIn && *keepIn) fs::copy_file(dir / (name + ".ruffle.png"), fs::path(keepIn) / (name + ".png"),
                                         fs::copy_options::overwrite_existing);
    auto player = PlayerOf(bytes);
    ASSERT_TRUE(player);
    Bitmap ours = Draw(*player, theirs.Width(), theirs.Height());
    FrameDifference d = CompareWithReference(ours, theirs);
    std::printf("ruffle %-16s mean %.3f, worst block %.3f (%d pixels compared)\n", name.c_str(), d.mean, d.worst,
                d.compared);
    EXPECT_TRUE(d.Matches());
    if (!d.Matches()) {
      keep = true;
      WriteImageFile((dir / (name + ".ours.png")).string(), ours);
    }
    // The committed frame is still what the reference player draws.
    Bitmap committed = RufflesFrame(name);
    ASSERT_FALSE(committed.Empty()) << "tests/data/flash/ruffle/" << name << ".png is missing";
    EXPECT_TRUE(CompareWithReference(committed, theirs).Matches()) << "refresh tests/data/flash/ruffle";
  }
  // A failing comparison leaves both frames behind to look at.
  if (keep) std::printf("frames kept in %s\n", dir.string().c_str());
  else fs::remove_all(dir);
}

}  // namespace
}  // namespace vitrine::test
