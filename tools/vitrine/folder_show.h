#pragma once
// A show made from a folder: its pictures, videos and Flash movies in name order, its music,
// and defaults a new author can start from, overridden by the folder's own show.json.
#include <filesystem>
#include <string>
#include <vector>

#include "json.h"

namespace vitrine::tool {

inline constexpr const char* kFolderSettingsFile = "show.json";

struct FolderShow {
  Json manifest;                      // what pack makes of it, paths relative to the folder
  std::vector<std::string> skipped;   // files of the folder that are not packed
};

// Raises UsageError for an unreadable folder or a show.json that is not a valid override.
FolderShow FolderManifest(const std::filesystem::path& folder, bool recursive);

// The manifest pack makes of a folder without show.json holding these files (for the
// reference).
Json DefaultFolderManifest(const std::string& folderName, const std::vector<std::string>& items,
                           const std::vector<std::string>& music);

}  // namespace vitrine::tool
