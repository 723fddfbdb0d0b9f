# 32-bit Windows with the mingw-w64 compilers. The tests take the
# posix-threads variant (GoogleTest and the tests need std::thread and
# std::mutex); mingw-i686-xp.cmake chooses the win32-threads one.
if(NOT KOLEKTOR_MINGW_THREADS)
  set(KOLEKTOR_MINGW_THREADS posix)
endif()
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-${KOLEKTOR_MINGW_THREADS})
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-${KOLEKTOR_MINGW_THREADS})
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_OBJCOPY i686-w64-mingw32-objcopy)
set(CMAKE_STRIP i686-w64-mingw32-strip)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
# Single precision must really be single precision: the x87 unit keeps
# extra bits (7.85 x 1000 would truncate to 7849). Every target gets SSE2.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse ${KOLEKTOR_MINGW_FLAGS}")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse ${KOLEKTOR_MINGW_FLAGS}")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${KOLEKTOR_MINGW_LINK}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${KOLEKTOR_MINGW_LINK}")
