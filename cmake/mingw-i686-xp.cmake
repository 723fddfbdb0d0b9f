# The shipped programs: 32-bit Windows from XP SP3 on. The win32-threads
# compilers, because the posix variant's thread runtime imports Vista-only
# functions (GetTickCount64) that stop XP from loading the DLL at all; the
# headers offer nothing newer than XP.
set(KOLEKTOR_MINGW_ARCH i686)
set(KOLEKTOR_MINGW_THREADS win32)
# Debug information too: product.cmake moves it into a file of its own per
# program before anything ships.
set(KOLEKTOR_MINGW_FLAGS "-D_WIN32_WINNT=0x0501 -DWINVER=0x0501 -g")
# The PE header names the oldest Windows that may load the file: XP, 5.1.
set(KOLEKTOR_MINGW_LINK
    "-Wl,--major-os-version,5,--minor-os-version,1,--major-subsystem-version,5,--minor-subsystem-version,1")
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
