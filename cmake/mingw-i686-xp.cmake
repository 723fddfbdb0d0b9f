# The shipped programs: 32-bit Windows from XP SP3 on. The win32-threads
# compilers, because the posix variant's thread runtime imports Vista-only
# functions (GetTickCount64) that stop XP from loading the DLL at all.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-win32)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-win32)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# SSE2 floating point as in every Windows target (single precision must be
# single precision); the headers offer nothing newer than XP.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse -D_WIN32_WINNT=0x0501 -DWINVER=0x0501")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse -D_WIN32_WINNT=0x0501 -DWINVER=0x0501")
# The PE header names the oldest Windows that may load the file: XP, 5.1.
set(KOLEKTOR_XP_LINK
    "-Wl,--major-os-version,5,--minor-os-version,1,--major-subsystem-version,5,--minor-subsystem-version,1")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${KOLEKTOR_XP_LINK}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${KOLEKTOR_XP_LINK}")
