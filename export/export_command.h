// The export step: goods file -> lookup file "a" -> DLOOKUP2.EXE.
#pragma once

#include <string>
#include <string_view>

namespace kolektor {

// Where the host keeps its installation directory.
inline constexpr const char* kInstallKey = "Software\\Orvisk\\ZRBWin\\Instalacja";
inline constexpr const char* kInstallValue = "Binaria";
inline constexpr std::size_t kInstallValueBytes = 230;

struct GoodsPaths {
  std::string directory;    // empty: the current directory
  std::string lookup_file;  // "a" beside the goods file
};

// Splits at the last backslash after the first character.
GoodsPaths SplitGoodsPath(std::string_view goods_path);

// "<install_dir>\DLOOKUP2.EXE a,<port>,<baud>"; the program path quoted
// when it has a blank.
std::string UploadCommandLine(std::string_view install_dir, std::string_view port,
                              std::string_view baud);

}  // namespace kolektor
