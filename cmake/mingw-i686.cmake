# The Windows tests of the shipped 32-bit build; the shipped programs come
# from mingw-i686-xp.cmake.
set(KOLEKTOR_MINGW_ARCH i686)
set(KOLEKTOR_PRODUCT_TOOLCHAIN ${CMAKE_CURRENT_LIST_DIR}/mingw-i686-xp.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
