// Where the host's registry value really is. ZRB, its installer, the
// plug-in and our programs are 32-bit programs: on 64-bit Windows they see
// the registry's 32-bit view, which regedit shows under WOW6432Node. A
// value written where regedit shows the plain path lies in the other,
// 64-bit view and changes nothing for them; every text of ours that names
// the key names the one they read.
#pragma once

#include <string>

#include "host/install_check.h"

namespace kolektor::host {

// 64-bit Windows: this program runs under WOW64, or is itself 64-bit (the
// test build).
bool WindowsIs64Bit();

// The host's key as regedit shows the view our programs read:
// HKLM\Software\WOW6432Node\Orvisk\ZRBWin\Instalacja on 64-bit Windows,
// HKLM\Software\Orvisk\ZRBWin\Instalacja on 32-bit Windows.
std::string HostKeyShown(bool windows_64bit);
inline std::string HostKeyShown() { return HostKeyShown(WindowsIs64Bit()); }
// The plain path, where regedit shows the 64-bit view.
std::string OtherViewKeyShown();

// Binaria in the other (64-bit) view, read as ReadBinaria reads the one
// the programs use; kNoKey on 32-bit Windows, which has no other view.
HostValue ReadBinariaInOtherView(std::string& value);

}  // namespace kolektor::host
