# Windows with the mingw-w64 compilers, for the machine KOLEKTOR_MINGW_ARCH
# names (i686: the shipped 32-bit build; x86_64: the 64-bit test build of
# the same sources, for machines that run no 32-bit programs). The tests
# take the posix-threads variant (GoogleTest and the tests need std::thread
# and std::mutex); the shipped programs' toolchains choose the win32-threads
# one.
if(NOT KOLEKTOR_MINGW_THREADS)
  set(KOLEKTOR_MINGW_THREADS posix)
endif()
set(KOLEKTOR_MINGW_TRIPLE ${KOLEKTOR_MINGW_ARCH}-w64-mingw32)
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${KOLEKTOR_MINGW_ARCH})
set(CMAKE_C_COMPILER ${KOLEKTOR_MINGW_TRIPLE}-gcc-${KOLEKTOR_MINGW_THREADS})
set(CMAKE_CXX_COMPILER ${KOLEKTOR_MINGW_TRIPLE}-g++-${KOLEKTOR_MINGW_THREADS})
set(CMAKE_RC_COMPILER ${KOLEKTOR_MINGW_TRIPLE}-windres)
set(CMAKE_OBJCOPY ${KOLEKTOR_MINGW_TRIPLE}-objcopy)
set(CMAKE_STRIP ${KOLEKTOR_MINGW_TRIPLE}-strip)
set(CMAKE_FIND_ROOT_PATH /usr/${KOLEKTOR_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
# Single precision must really be single precision: the x87 unit keeps
# extra bits (7.85 x 1000 would truncate to 7849). Every target gets SSE2
# (the 64-bit machine has nothing else).
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse ${KOLEKTOR_MINGW_FLAGS}")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse ${KOLEKTOR_MINGW_FLAGS}")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${KOLEKTOR_MINGW_LINK}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${KOLEKTOR_MINGW_LINK}")
