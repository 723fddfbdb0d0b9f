// Folders as the host's paths name them, and the files in them.
#pragma once

#include <string>
#include <string_view>

namespace kolektor {

// A drive alone ("X:") is, to Windows, the current folder on that drive,
// wherever the host last was there; a share alone ("\\server\share") is
// no folder at all without its backslash. As a folder of files both mean
// their root: "X:\", "\\server\share\". Any other folder stays as it is.
inline std::string AsFolder(std::string folder) {
  const bool drive =
      folder.size() == 2 && folder[1] == ':' &&
      ((folder[0] >= 'A' && folder[0] <= 'Z') || (folder[0] >= 'a' && folder[0] <= 'z'));
  bool share = false;
  if (folder.size() > 2 && folder[0] == '\\' && folder[1] == '\\' && folder[2] != '?' &&
      folder[2] != '.') {
    const std::size_t slash = folder.find('\\', 2);
    share = slash != std::string::npos && slash > 2 && slash + 1 < folder.size() &&
            folder.find('\\', slash + 1) == std::string::npos;
  }
  if (drive || share) folder += '\\';
  return folder;
}

// A file in a folder, with one backslash between them, also after a root.
inline std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string path(folder);
  if (!path.empty() && path.back() != '\\') path += '\\';
  path += name;
  return path;
}

}  // namespace kolektor
