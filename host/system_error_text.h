// Windows' reason for a system error code, in Polish, for every message of
// the programs that names one: "odmowa dostępu, błąd systemu 5". Windows'
// own Polish text where Windows has it, else ours for the codes met at a
// till (host/program_texts.h), else the number alone ("błąd systemu 1234").
// UTF-8, begun with a small letter, without a closing full stop: the texts
// put it in brackets, where they used to say "(błąd systemu N)".
#pragma once

#include <string>

namespace kolektor::host {

std::string SystemErrorText(unsigned long code);

}  // namespace kolektor::host
