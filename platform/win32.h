// The real platform of the Windows build.
#pragma once

#include "platform/platform.h"

namespace kolektor {

Platform& SystemPlatform();

}  // namespace kolektor
