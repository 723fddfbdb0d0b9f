# The programs of the 64-bit test build, made as the shipped ones are (the
# win32-threads runtime, the same headers, debug information moved aside)
# so that the tests exercise the same code; only the machine differs.
set(KOLEKTOR_MINGW_ARCH x86_64)
set(KOLEKTOR_MINGW_THREADS win32)
set(KOLEKTOR_MINGW_FLAGS "-D_WIN32_WINNT=0x0501 -DWINVER=0x0501 -g")
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
