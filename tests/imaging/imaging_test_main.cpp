// The reader tests' main. A Windows program cannot start the Linux reference tools (ImageMagick,
// GraphicsMagick, netpbm, libtiff's tools), so under Windows the cases that run them while
// they run are left out by name, counted and listed; every other case runs. The comparisons
// with the files those tools made on the build machine (make-references.sh) run everywhere.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <cstdio>
#include <iterator>
#include <set>
#include <string>

namespace {

struct Exclusion {
  const char* name;
  const char* tools;
};

// Each case starts the named tools while it runs.
constexpr Exclusion kNotOnWindows[] = {
    {"CUTReader.MatchesImageMagickAndGraphicsMagick", "ImageMagick, GraphicsMagick"},
    {"GIFReader.CorpusMatchesTheReferenceDecoder", "giftopnm"},
    {"GIFReader.EveryVariantTheToolsWriteMatchesTheReference", "ImageMagick, GraphicsMagick, netpbm"},
    {"PcdReader.AgreesWithTheReferenceDecoderAtTheThreeBaseSizes", "ImageMagick"},
    {"PcdReader.TurnsPortraitsUpright", "ImageMagick"},
    {"PcxReader.MatchesTheReferenceDecoderOnEveryVariantTheToolsWrite", "ImageMagick, GraphicsMagick, netpbm"},
    {"PcxReader.ReadsRealSampleFiles", "pcxtoppm"},
    {"PNGReader.PngSuiteMatchesTheReferenceDecoder", "pngtopnm"},
    {"PNGReader.EveryVariantTheToolsWriteMatchesTheReference", "ImageMagick, GraphicsMagick, netpbm"},
    {"PpmReader.MatchesTheReferenceDecoderOnEveryVariantTheToolsWrite", "ImageMagick, GraphicsMagick, netpbm"},
    {"PpmReader.ReadsRealSampleFiles", "pamdepth"},
    {"PSDReader.EveryVariantImageMagickWritesMatchesItsReading", "ImageMagick"},
    {"PSDReader.RealFilesMatchImageMagick", "ImageMagick"},
    {"RLAReader.RealFilesMatchGraphicsMagick", "GraphicsMagick"},
    {"SgiReader.MatchesTheReferenceDecoderOnEveryVariantTheToolsWrite", "ImageMagick, GraphicsMagick, netpbm"},
    {"SgiReader.ReadsRealSampleFiles", "ImageMagick"},
    {"TargaReader.MatchesTheReferenceDecoderOnEveryVariantTheToolsWrite", "ImageMagick, GraphicsMagick, netpbm"},
    {"TargaReader.MatchesReferencePicturesForAllOriginsAndKinds", "ImageMagick"},
    {"TargaReader.ReadsRealSampleFilesLikeGraphicsMagick", "GraphicsMagick"},
    {"TIFFReader.EveryVariantTheToolsWriteMatchesTheReference", "ImageMagick, tiffcp"},
};

std::set<std::string> RegisteredCases() {
  std::set<std::string> names;
  const auto& unit = *::testing::UnitTest::GetInstance();
  for (int i = 0; i < unit.total_test_suite_count(); ++i) {
    const auto& suite = *unit.GetTestSuite(i);
    for (int j = 0; j < suite.total_test_count(); ++j)
      names.insert(std::string(suite.name()) + "." + suite.GetTestInfo(j)->name());
  }
  return names;
}

// Adds the exclusions to the filter the command line gave; false when the list names a case
// that does not exist (a renamed case must be renamed here too).
bool ExcludeOnWindows() {
  const std::set<std::string> cases = RegisteredCases();
  std::string filter = GTEST_FLAG_GET(filter);
  filter += filter.find('-') == std::string::npos ? "-" : ":";
  std::printf("imaging_tests: %zu cases are excluded on Windows: they start Linux tools while they run\n",
              std::size(kNotOnWindows));
  bool known = true;
  for (const Exclusion& exclusion : kNotOnWindows) {
    std::printf("  %s (%s)\n", exclusion.name, exclusion.tools);
    if (!cases.count(exclusion.name)) {
      std::printf("imaging_tests: %s is excluded on Windows but is no case\n", exclusion.name);
      known = false;
    }
    filter += exclusion.name;
    filter += ':';
  }
  filter.pop_back();
  GTEST_FLAG_SET(filter, filter);
  std::fflush(stdout);
  return known;
}

}  // namespace
#endif

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
#ifdef _WIN32
  if (!ExcludeOnWindows()) return 1;
#endif
  return RUN_ALL_TESTS();
}
