# Windows build: kolektor.dll, the vendor-utility stand-ins and the Windows
# tests, which CTest runs through wine.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

# The callbacks and exports use the stdcall convention.
target_compile_definitions(kolektor_core PUBLIC "KOLEKTOR_STDCALL=__stdcall")
# No runtime DLL of the compiler's may be needed on a shop's till.
set(KOLEKTOR_STATIC -static -static-libgcc -static-libstdc++)

enable_language(RC)

# A version resource for a target: file description and file name.
function(kolektor_version target description filename filetype)
  set(KOLEKTOR_DESCRIPTION "${description}")
  set(KOLEKTOR_FILENAME "${filename}")
  set(KOLEKTOR_FILETYPE "${filetype}")
  configure_file(${CMAKE_SOURCE_DIR}/cmake/version.rc.in ${CMAKE_BINARY_DIR}/rc/${target}.rc @ONLY)
  target_sources(${target} PRIVATE ${CMAKE_BINARY_DIR}/rc/${target}.rc)
endfunction()

add_library(kolektor SHARED plugin/exports.cpp platform/win32.cpp)
target_link_libraries(kolektor PRIVATE kolektor_core)
target_link_options(kolektor PRIVATE ${KOLEKTOR_STATIC} -Wl,--kill-at)
set_target_properties(kolektor PROPERTIES PREFIX "" OUTPUT_NAME kolektor)
kolektor_version(kolektor "CipherLab 8x00 stocktaking plug-in for ZRB" kolektor.dll VFT_DLL)

# The diagnostic host: drives a plug-in DLL as the back-office host does.
add_executable(zrbhost host/zrbhost.cpp)
target_link_libraries(zrbhost PRIVATE kolektor_core)
target_link_options(zrbhost PRIVATE ${KOLEKTOR_STATIC})
kolektor_version(zrbhost "ZRB plug-in diagnostic host" zrbhost.exe VFT_APP)

# The terminal simulator: one program, started as the two vendor utilities
# and as the person's "terminal" command.
foreach(program DLOOKUP2 IR_READ2 terminal)
  add_executable(${program} tools/terminal/terminal.cpp)
  target_link_libraries(${program} PRIVATE terminal_core)
  target_link_options(${program} PRIVATE ${KOLEKTOR_STATIC})
  kolektor_version(${program} "CipherLab 8x00 terminal simulator" ${program}.exe VFT_APP)
endforeach()
set_target_properties(DLOOKUP2 IR_READ2 PROPERTIES SUFFIX ".EXE")
# The export starts DLOOKUP2.EXE from the host's installation directory,
# which the test prefix's registry names.
add_custom_command(TARGET DLOOKUP2 POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/install
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:DLOOKUP2> ${CMAKE_BINARY_DIR}/install/DLOOKUP2.EXE)

# GoogleTest from the sources Debian installs, built with this compiler.
set(GTEST_SRC /usr/src/googletest/googletest)
add_library(gtest_win STATIC ${GTEST_SRC}/src/gtest-all.cc ${GTEST_SRC}/src/gtest_main.cc)
target_include_directories(gtest_win PUBLIC ${GTEST_SRC}/include PRIVATE ${GTEST_SRC})

set(KOLEKTOR_WINE ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh)
function(kolektor_wine_test name)
  cmake_parse_arguments(T "SERIAL" "PREFIX;TIMEOUT" "SOURCES" ${ARGN})
  add_executable(${name} ${T_SOURCES} tests/win32/plugin_loader.cpp)
  target_link_libraries(${name} PRIVATE gtest_win)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_options(${name} PRIVATE ${KOLEKTOR_STATIC})
  add_dependencies(${name} kolektor DLOOKUP2 IR_READ2 terminal zrbhost)
  if(NOT T_PREFIX)
    set(T_PREFIX main)
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR "${KOLEKTOR_WINE};--prefix;${T_PREFIX}")
  # Each test case runs as its own process, so the fixed pauses overlap.
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 120
    PROPERTIES TIMEOUT ${T_TIMEOUT} RUN_SERIAL ${T_SERIAL})
endfunction()

include(GoogleTest)
kolektor_wine_test(win_plugin_tests SOURCES tests/win32/interface_test.cpp)
target_link_libraries(win_plugin_tests PRIVATE version)
kolektor_wine_test(win_export_tests SOURCES tests/win32/export_test.cpp)
kolektor_wine_test(win_import_tests SOURCES tests/win32/import_test.cpp TIMEOUT 400)
kolektor_wine_test(win_performance_tests SOURCES tests/win32/performance_test.cpp SERIAL)
kolektor_wine_test(win_soak_tests SOURCES tests/win32/soak_test.cpp)
kolektor_wine_test(win_tools_tests SOURCES tests/win32/tools_test.cpp)
kolektor_wine_test(win_corpus_tests SOURCES tests/win32/corpus_test.cpp)
target_compile_definitions(win_corpus_tests PRIVATE KOLEKTOR_CORPUS_DIR="${CMAKE_SOURCE_DIR}/tests/corpus")
# Runs in a prefix of its own whose registry lacks the host's key.
kolektor_wine_test(win_bare_registry_tests SOURCES tests/win32/bare_registry_test.cpp PREFIX bare)

# The DLL exports exactly the ten entry points and imports system DLLs only.
add_test(NAME dll_exports_and_imports
  COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-dll.sh $<TARGET_FILE:kolektor>)

# The README's main command, unattended: the whole stocktaking round trip
# through zrbhost and the terminal simulator, counts checked.
add_test(NAME demo_round_trip
  COMMAND ${CMAKE_SOURCE_DIR}/scripts/demo.sh --no-build --check --name demotest)
set_tests_properties(demo_round_trip PROPERTIES TIMEOUT 300)

# Release package: kolektor-<version>-win32.zip.
install(TARGETS kolektor zrbhost RUNTIME DESTINATION . LIBRARY DESTINATION .)
install(TARGETS DLOOKUP2 IR_READ2 terminal RUNTIME DESTINATION simulator)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/INSTALL.txt DESTINATION .)
install(FILES ${CMAKE_SOURCE_DIR}/examples/towary.txt ${CMAKE_SOURCE_DIR}/examples/scans.txt
  DESTINATION examples)
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME "kolektor-${PROJECT_VERSION}-win32")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
include(CPack)

add_test(NAME release_package
  COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-package.sh ${CMAKE_BINARY_DIR})
set_tests_properties(release_package PROPERTIES TIMEOUT 120)
