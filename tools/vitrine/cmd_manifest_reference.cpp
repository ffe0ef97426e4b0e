// vitrine manifest-reference: docs/manifest.md, written from the field tables that the player's
// record parsers and vitrine pack use, so the reference cannot fall behind them.
#include <cstdio>
#include <fstream>
#include <sstream>

#include "command.h"
#include "core/file_system.h"
#include "core/text.h"
#include "folder_show.h"
#include "json.h"
#include "package/picture_info.h"
#include "package/project_info.h"
#include "transitions/catalogue.h"

namespace vitrine::tool {
namespace {

constexpr const char* kUsage = "manifest-reference [--demo MANIFEST.json] [-o FILE | --check FILE]";

std::string Cell(std::string text) {
  for (size_t at = 0; (at = text.find('|', at)) != std::string::npos; at += 2) text.replace(at, 1, "\\|");
  return text;
}

std::string TypeText(FieldKind kind, size_t limit) {
  std::string type;
  switch (kind) {
    case FieldKind::Boolean: type = "true or false"; break;
    case FieldKind::Integer: type = "integer"; break;
    case FieldKind::Text: type = "text"; break;
    case FieldKind::IntegerList: type = "list"; break;
    case FieldKind::Colour: type = "colour"; break;
    case FieldKind::TransitionList: type = "transitions"; break;
    case FieldKind::FontStyle: type = "style digits"; break;
  }
  if (limit) type += ", at most " + std::to_string(limit) + " characters";
  return type;
}

struct Row {
  std::string name, key, type, fallback, meaning;
};

template <class Owner>
std::vector<Row> RowsOf(FieldTable<Owner> table, int keyBase = 0) {
  std::vector<Row> rows;
  for (const FieldSpec<Owner>& f : table) {
    if (f.Kind == FieldKind::FontStyle) continue;  // written as Bold, Italic, Underline, StrikeOut
    rows.push_back({f.Name, std::to_string(keyBase + f.Key), TypeText(f.Kind, f.MaxLength), f.Default, f.Meaning});
  }
  return rows;
}

void Table(std::ostringstream& out, const std::vector<Row>& rows) {
  out << "| key | record key | type | default | meaning |\n|---|---|---|---|---|\n";
  for (const Row& r : rows)
    out << "| `" << r.name << "` | " << r.key << " | " << Cell(r.type) << " | " << Cell(r.fallback) << " | "
        << Cell(r.meaning) << " |\n";
  out << "\n";
}

std::string Reference(const std::string& demoManifest) {
  std::ostringstream out;
  out << "# The manifest\n\n"
         "<!-- Written by `vitrine manifest-reference --demo demo/manifest.json -o docs/manifest.md` from the field\n"
         "     tables the player reads records with; a test fails when this file and the tables differ. -->\n\n"
         "`vitrine pack` makes a package (or, with `--player vitrine.scr`, a screen saver) from a folder or from a\n"
         "manifest, a JSON file that says what goes in and how it is shown:\n\n"
         "```\n"
         "vitrine pack FOLDER -o show.scr [--player EXE] [--recursive] [--dry-run] [--max-size WxH] [--skip-bad]\n"
         "vitrine pack MANIFEST.json -o show.scr [--player EXE] [--dry-run] [--max-size WxH] [--skip-bad]\n"
         "```\n\n"
         "A folder becomes a show of its pictures, videos and Flash movies in name order (`--recursive` takes\n"
         "sub-folders too) with its `.mp3`, `.wav` and `.mid` files as music, each picture standing 5 seconds,\n"
         "fitted to the screen on a blurred copy of itself, brought in by transitions drawn at random from the\n"
         "whole catalogue, without captions; the folder's name is the saver's name. A `show.json` in the folder\n"
         "changes any of that (below). `--dry-run` lists what would be packed and, for a folder, the manifest it amounts to.\n\n"
         "Relative file names start at the manifest's folder (or the packed folder). Every error names the\n"
         "place of the value at fault, as in `Pictures[3].CaptionFont.Color: \"#12345\" is not a colour`, and\n"
         "leaves no output file. `vitrine pack` refuses what the player would fail on: a picture that does not\n"
         "decode, a text longer than the player keeps, a transition outside the catalogue, a package larger\n"
         "than its index can address (2 GiB).\n\n"
         "Pictures from phones and today's cameras (HEIC and HEIF, AVIF, WebP, JPEG XL) are converted when packed,\n"
         "upright, into a JPEG (quality 92), or a PNG where they have transparency; pictures of more than 8 bits\n"
         "a channel come down to 8 (HDR ones through a tone curve). The item keeps its file name, and `vitrine\n"
         "info` says what it was converted from. A picture larger than `--max-size` (7680x4320 unless given) is\n"
         "shrunk to fit it, a JPEG into a JPEG and other types into a PNG. A picture that does not decode stops\n"
         "the pack with its name and the reason; `--skip-bad` leaves it out and packs the rest.\n\n"
         "`Caption` and `MemoText` take placeholders filled from each picture's own metadata: `{date}` (the date\n"
         "taken, as `14 July 2019`), `{date:FORMAT}` (strftime, as `{date:%Y-%m-%d}`), `{time}` (`15:42`),\n"
         "`{camera}` (make and model), `{title}` (EXIF ImageDescription or XMP title) and `{file}` (the file\n"
         "name without extension). A value the picture lacks gives an empty text.\n\n";

  out << "## Values\n\n"
         "| type | how to write it |\n|---|---|\n"
         "| true or false | `true`, `false` |\n"
         "| integer | a whole number, as `25` or `-24` |\n"
         "| text | a JSON string; line breaks are written `\\r\\n` |\n"
         "| list | `[0, 2]`, or as the record holds it, `\"0;2;\"` |\n"
         "| colour | `\"#RRGGBB\"` (red, green, blue), or the Windows colour value as a number (0x00BBGGRR: "
         "`255` is red) |\n"
         "| transitions | catalogue names or indices, as `[\"Fan wipe\", 36]`, or `\"104;36;\"`; names are "
         "matched without regard to case (the catalogue is listed at the end) |\n\n";

  out << "## The manifest's parts\n\n"
         "| key | what it holds |\n|---|---|\n"
         "| `Project` | the show's settings: an object of the project keys below |\n"
         "| `Banner` | the file of the banner picture the settings dialog shows (with `ShowBanner`) |\n"
         "| `Music` | the music files, in playing order |\n"
         "| `Pictures` | the items, in order: objects of the picture keys below |\n"
         "| `Defaults` | picture keys every item takes unless it gives its own (`{\"Caption\": \"{date}\"}`) |\n\n";

  out << "## Project keys\n\n";
  std::vector<Row> project = RowsOf(ProjectFields());
  project.push_back({"Texts", "42 to 92", "object or list", "empty",
                     "the interface texts: an object keyed by role name (below) or record key, or a list of up "
                     "to 51 texts for keys 42 on"});
  project.push_back({"MusicFiles", "1", "list of texts", "the `Music` file names",
                     "the music files' names as stored, when they should differ from `Music`"});
  project.push_back({"keys", "any", "list of [key, value]", "none",
                     "raw record fields, written after the named ones"});
  Table(out, project);

  out << "### Interface texts by role\n\n| role | record key | meaning |\n|---|---|---|\n";
  for (const TextRole& role : TextRoles())
    out << "| `" << role.Name << "` | " << int(role.Key) << " | " << Cell(role.Meaning) << " |\n";
  out << "\n";

  out << "## Picture keys\n\n";
  std::vector<Row> picture;
  picture.push_back({"File", "-", "text", "none",
                     "the item's file; its bytes go into the package unless the item is not embedded"});
  picture.push_back({"Embed", "-", "true or false", "`PicturesEmbedded` (pictures) or `MediaEmbedded`",
                     "whether this item's bytes go into the package"});
  std::vector<Row> fields = RowsOf(PictureFields());
  picture.insert(picture.end(), fields.begin(), fields.end());
  picture.push_back({"CaptionFont", std::to_string(kCaptionFontKey) + " to " + std::to_string(kCaptionFontKey + 4),
                     "font", "Arial, 18 points", "the caption's font (below)"});
  picture.push_back({"MemoFont", std::to_string(kMemoFontKey) + " to " + std::to_string(kMemoFontKey + 4), "font",
                     "Arial, 12 points", "the description's font (below)"});
  picture.push_back({"FlashSettings", "54 to 71", "object", "as below", "a Flash item's display settings (below)"});
  picture.push_back({"keys", "any", "list of [key, value]", "none", "raw record fields, written after the named ones"});
  Table(out, picture);
  out << "`PackageIndex`, `FileName`, `DataSize` and `PictureType` are filled in by `vitrine pack`; give them\n"
         "only to store something else. Without `Kind`, files named `.swf` are Flash movies and `.avi`, `.mpg`,\n"
         "`.mpeg`, `.wmv`, `.asf`, `.mp4`, `.mov`, `.mkv` and `.webm` files videos. A picture's type comes from\n"
         "its first bytes where they tell (all formats but Targa, CUT and RLA), else from its name; a name that\n"
         "says otherwise gives a warning.\n\n";

  out << "### Font keys\n\n";
  std::vector<Row> font = RowsOf(FontFields());
  for (Row& r : font) r.key = "+" + r.key;
  font.push_back({"Size", "+2", "number", "18 (caption), 12 (description)",
                  "the height in points, instead of `Height`"});
  const std::pair<const char*, const char*> kStyles[] = {
      {"Bold", "bold"}, {"Italic", "italic"}, {"Underline", "underlined"}, {"StrikeOut", "struck out"}};
  for (const auto& [style, drawn] : kStyles)
    font.push_back({style, "+4", "true or false", "false", std::string("the text is drawn ") + drawn});
  Table(out, font);

  out << "### Flash settings\n\nKeyed by name or by record key (`\"56\"`).\n\n";
  Table(out, RowsOf(FlashFields()));

  out << "## show.json in a packed folder\n\n"
         "| key | what it does |\n|---|---|\n"
         "| `Project` | project keys, over the folder's defaults |\n"
         "| `Banner`, `Music`, `Defaults` | as in a manifest; `Music` replaces the folder's music files |\n"
         "| `AllPictures` | picture keys given to every item |\n"
         "| `Pictures` | an object of picture keys by file name (`{\"beach.jpg\": {\"Caption\": \"At the beach\"}}`), "
         "or a whole list of items that replaces the folder's |\n\n";

  out << "## Example: a folder's defaults\n\n"
         "A folder `Holiday` holding `beach.jpg`, `harbour.png` and `song.mp3`, without `show.json`, packs as\n"
         "this manifest (`vitrine pack Holiday --dry-run` prints it):\n\n```json\n"
      << WriteJson(DefaultFolderManifest("Holiday", {"beach.jpg", "harbour.png"}, {"song.mp3"})) << "```\n\n";
  if (!demoManifest.empty()) {
    out << "## Example: the demo\n\n`demo/manifest.json`, which `demo/build-demo.sh` packs with the pictures it "
           "draws:\n\n```json\n"
        << demoManifest << (demoManifest.back() == '\n' ? "" : "\n") << "```\n\n";
  }

  out << "## The transition catalogue\n\n| index | name |\n|---|---|\n";
  const TransitionTable& catalogue = TransitionCatalogue();
  for (int i = 0; i < kTransitionCount; ++i) out << "| " << i << " | " << Cell(catalogue[static_cast<size_t>(i)].name) << " |\n";
  return out.str();
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw UsageError{"cannot read " + path};
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

int RunManifestReference(const Args& arguments) {
  Args args = arguments;
  std::string demo = TakeOption(args, "--demo");
  std::string out = TakeOption(args, "-o");
  std::string check = TakeOption(args, "--check");
  if (!args.empty() || (!out.empty() && !check.empty())) throw UsageError{std::string("usage: ") + kUsage};
  std::string text = Reference(demo.empty() ? std::string() : ReadText(demo));
  if (!check.empty()) {
    if (ReadText(check) == text) return 0;
    throw UsageError{check + " differs from what the field tables give; write it anew with vitrine " + kUsage};
  }
  if (out.empty()) {
    std::fputs(text.c_str(), stdout);
    return 0;
  }
  if (!NativeFileSystem().WriteFile(out, std::vector<uint8_t>(text.begin(), text.end())))
    throw UsageError{"cannot write " + out};
  return 0;
}

}  // namespace

VITRINE_COMMAND(manifest_reference, "manifest-reference", kUsage, &RunManifestReference);

}  // namespace vitrine::tool
