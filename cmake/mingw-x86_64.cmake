# The Windows tests of the 64-bit test build: the same sources for x86-64,
# run under wine64 where a machine runs no 32-bit programs. Nothing of it
# ships; its programs come from mingw-x86_64-programs.cmake.
set(KOLEKTOR_MINGW_ARCH x86_64)
set(KOLEKTOR_PRODUCT_TOOLCHAIN ${CMAKE_CURRENT_LIST_DIR}/mingw-x86_64-programs.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
