// vitrine extract: one item's, the banner's or one music file's bytes out of a package.
#include "command.h"
#include "core/errors.h"
#include "core/file_system.h"
#include "core/text.h"
#include "json.h"
#include "package/project_info.h"

namespace vitrine::tool {
namespace {

int32_t IndexArgument(const std::string& text, const char* flag) {
  int32_t value = 0;
  if (!TryStrToInt(text, value) || value < 0) throw UsageError{std::string(flag) + " needs a number from 0 up"};
  return value;
}

int RunExtract(const Args& arguments) {
  Args args = arguments;
  std::string out = TakeOption(args, "-o");
  std::string item = TakeOption(args, "--item");
  std::string music = TakeOption(args, "--music");
  bool banner = TakeFlag(args, "--banner");
  int chosen = !item.empty() + !music.empty() + banner;
  if (args.size() != 1 || out.empty() || chosen != 1)
    throw UsageError{"usage: extract FILE (--item N | --banner | --music N) -o OUT"};
  const std::string& path = args[0];
  FileSystem& fs = NativeFileSystem();
  if (!fs.Exists(path)) throw UsageError{"cannot open " + path};

  MemoryStream stream;
  try {
    TProjectInfo project(path, fs);
    if (project.Certificate.State == CertificateTableState::Damaged)
      throw UsageError{path + " holds no package: " + project.Certificate.DamageText()};
    if (!project.IndexRead) throw UsageError{path + " holds no package"};
    project.ReadProject();
    bool ok = false;
    int32_t type = 0;
    if (!item.empty()) {
      int32_t i = IndexArgument(item, "--item");
      if (!project.ReadPictures()) throw UsageError{path + ": the picture records can't be read"};
      if (static_cast<size_t>(i) >= project.Pictures.size())
        throw UsageError{"there is no item " + item + " (the package has " + std::to_string(project.Pictures.size()) +
                         ")"};
      ok = project.GetPictureStream(i, stream, type);
    } else if (!music.empty()) {
      int32_t i = IndexArgument(music, "--music");
      if (!project.MediaEmbedded) throw UsageError{"the music of " + path + " is not embedded"};
      if (static_cast<size_t>(i) >= project.Positions.MusicPositions.size())
        throw UsageError{"there is no music file " + music};
      ok = project.GetMusicStream(i, stream);
    } else {
      ok = project.GetBannerStream(stream, type);
    }
    if (!ok) throw UsageError{"the data lies outside " + path + " or its file can't be read"};
  } catch (const vitrine::Error& e) {
    throw UsageError{path + ": " + DisplayText(e.what())};
  }
  if (!fs.WriteFile(out, stream.Bytes())) throw UsageError{"cannot write " + out};
  return 0;
}

}  // namespace

VITRINE_COMMAND(extract, "extract", "extract FILE (--item N | --banner | --music N) -o OUT", &RunExtract);

}  // namespace vitrine::tool
