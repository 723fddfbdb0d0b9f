// Windows' reason for a system error code, in Polish, for any of our
// Windows programs: "(błąd systemu 5)" alone tells a shop nothing, "odmowa
// dostępu" does.
#pragma once

#include <string>

namespace kolektor::host {

// The reason for `code` in Polish (UTF-8), as a phrase to stand beside the
// number: "nie ma takiego pliku", "odmowa dostępu". Windows' own text where
// it has one in Polish, else ours for the common codes; "" for a code
// neither knows.
std::string SystemErrorText(unsigned long code);

// `text` with the reason put beside every "(błąd systemu N)" in it:
// "(błąd systemu 5: odmowa dostępu)". A number that already has its reason,
// or one without a known reason, stays as it is.
std::string WithSystemErrorReasons(const std::string& text);

}  // namespace kolektor::host
