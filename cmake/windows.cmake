# Windows build: the Windows tests, which CTest runs through wine, and the
# release package. The programs come from a sub-build with the programs'
# toolchain (cmake/product.cmake) into bin/; the tests use the posix-threads
# compilers for GoogleTest's and their own threads.
#
# Two machines: the shipped 32-bit build (win32 preset) and the 64-bit test
# build of the same sources (win64 preset), for machines that run no 32-bit
# programs. The wine prefixes of a build folder take its machine from the
# file wine-arch (scripts/wine-run.sh).
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(KOLEKTOR_WINE_ARCH win64)
else()
  set(KOLEKTOR_WINE_ARCH win32)
endif()
file(WRITE ${CMAKE_BINARY_DIR}/wine-arch "${KOLEKTOR_WINE_ARCH}\n")
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

include(ExternalProject)
set(KOLEKTOR_BIN ${CMAKE_BINARY_DIR}/bin)
set(KOLEKTOR_PRODUCT_FILES
  ${KOLEKTOR_BIN}/kolektor.dll ${KOLEKTOR_BIN}/zrbhost.exe ${KOLEKTOR_BIN}/DLOOKUP2.EXE
  ${KOLEKTOR_BIN}/IR_READ2.EXE ${KOLEKTOR_BIN}/terminal.exe ${KOLEKTOR_BIN}/kolektor-test.exe)
ExternalProject_Add(product
  SOURCE_DIR ${CMAKE_SOURCE_DIR}
  BINARY_DIR ${CMAKE_BINARY_DIR}/product
  CMAKE_GENERATOR Ninja
  CMAKE_ARGS
    -DCMAKE_TOOLCHAIN_FILE=${KOLEKTOR_PRODUCT_TOOLCHAIN}
    -DCMAKE_BUILD_TYPE=Release
    -DKOLEKTOR_PRODUCT=ON
    -DKOLEKTOR_OUTPUT_DIR=${CMAKE_BINARY_DIR}
  BUILD_ALWAYS ON
  INSTALL_COMMAND ""
  BUILD_BYPRODUCTS ${KOLEKTOR_PRODUCT_FILES}
  USES_TERMINAL_BUILD ON)

# GoogleTest from the sources Debian installs, built with this compiler.
set(GTEST_SRC /usr/src/googletest/googletest)
add_library(gtest_win STATIC ${GTEST_SRC}/src/gtest-all.cc ${GTEST_SRC}/src/gtest_main.cc)
target_include_directories(gtest_win PUBLIC ${GTEST_SRC}/include PRIVATE ${GTEST_SRC})

# The tests that run this build's programs under wine. Off where this
# machine cannot run them (a machine that runs no 32-bit programs, for the
# 32-bit build): the programs and test programs are still built, and the
# checks that need no wine (labelled "static") still run.
option(KOLEKTOR_WINE_TESTS "Register the tests that run under wine" ON)
set(KOLEKTOR_WINE ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh)
function(kolektor_wine_test name)
  cmake_parse_arguments(T "SERIAL" "PREFIX;TIMEOUT;LOCK;FILTER" "SOURCES" ${ARGN})
  add_executable(${name} ${T_SOURCES} tests/win32/plugin_loader.cpp)
  target_link_libraries(${name} PRIVATE gtest_win kolektor_host)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  add_dependencies(${name} product)
  if(NOT T_PREFIX)
    set(T_PREFIX main)
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_target_properties(${name} PROPERTIES
    CROSSCOMPILING_EMULATOR "${KOLEKTOR_WINE};--build;${CMAKE_BINARY_DIR};--prefix;${T_PREFIX}")
  # Cases that share one machine-wide state (Program Files, the uninstall
  # entry) take turns through a lock of that name.
  set(lock)
  if(T_LOCK)
    set(lock RESOURCE_LOCK ${T_LOCK})
  endif()
  # Cases that only another case starts stay out of the list (FILTER).
  if(NOT T_FILTER)
    set(T_FILTER "*")
  endif()
  # Each test case runs as its own process, so the fixed pauses overlap.
  if(KOLEKTOR_WINE_TESTS)
    gtest_discover_tests(${name}
      DISCOVERY_MODE PRE_TEST
      DISCOVERY_TIMEOUT 120
      TEST_FILTER ${T_FILTER}
      PROPERTIES TIMEOUT ${T_TIMEOUT} RUN_SERIAL ${T_SERIAL} ${lock})
  endif()
endfunction()

include(GoogleTest)
kolektor_wine_test(win_plugin_tests SOURCES tests/win32/interface_test.cpp)
kolektor_wine_test(win_export_tests SOURCES tests/win32/export_test.cpp)
kolektor_wine_test(win_import_tests SOURCES tests/win32/import_test.cpp TIMEOUT 400)
kolektor_wine_test(win_performance_tests SOURCES tests/win32/performance_test.cpp SERIAL)
kolektor_wine_test(win_pause_tests SOURCES tests/win32/pause_test.cpp SERIAL)
kolektor_wine_test(win_soak_tests SOURCES tests/win32/soak_test.cpp)
kolektor_wine_test(win_tools_tests SOURCES tests/win32/tools_test.cpp)
kolektor_wine_test(win_corpus_tests SOURCES tests/win32/corpus_test.cpp)
target_compile_definitions(win_corpus_tests PRIVATE KOLEKTOR_CORPUS_DIR="${CMAKE_SOURCE_DIR}/tests/corpus")
kolektor_wine_test(win_host_fpu_tests SOURCES tests/win32/host_fpu_test.cpp)
target_compile_definitions(win_host_fpu_tests PRIVATE KOLEKTOR_CORPUS_DIR="${CMAKE_SOURCE_DIR}/tests/corpus")
# The test form through its controls; it changes the host's registry value.
kolektor_wine_test(win_form_tests SOURCES tests/win32/form_test.cpp PREFIX form)
# Each copies the DLL beside its own kolektor.log; a prefix of their own,
# since the export test changes the registry.
kolektor_wine_test(win_trace_tests SOURCES tests/win32/trace_test.cpp PREFIX trace)
# Where the host's registry value is (both views) as the installation check
# names it, and zrbhost's support file on a till's folders C:\ZRB, C:\DANE:
# a prefix of their own, whose registry they change, one at a time.
kolektor_wine_test(win_support_tests SOURCES tests/win32/support_test.cpp PREFIX support
  LOCK wine-support)
# Runs in a prefix of its own whose registry lacks the host's key.
kolektor_wine_test(win_bare_registry_tests SOURCES tests/win32/bare_registry_test.cpp PREFIX bare)
# Nothing lost in the field: a host killed during its download, a download
# cut off, files held for a moment by another program (file_holder).
add_executable(file_holder tests/win32/file_holder.cpp)
kolektor_wine_test(win_nothing_lost_tests SOURCES tests/win32/nothing_lost_test.cpp TIMEOUT 400)
add_dependencies(win_nothing_lost_tests file_holder)
# A counts path one folder below a drive's root, on the drive X: that the
# prefix "drive" maps; the journal's append on a full disk (prefix
# "fulldisk": writes past 4 MiB fail).
kolektor_wine_test(win_drive_root_tests SOURCES tests/win32/drive_root_test.cpp PREFIX drive)
kolektor_wine_test(win_full_disk_tests SOURCES tests/win32/full_disk_test.cpp PREFIX fulldisk)

# Every shipped program as it ships: its imports against its own list of
# functions checked to exist on XP SP3, its PE version 5.1; the DLL's
# exports exactly the ten entry points. Only the 32-bit build ships.
set(KOLEKTOR_PROGRAMS ${CMAKE_SOURCE_DIR}/packaging/programs)
if(KOLEKTOR_WINE_ARCH STREQUAL win32)
add_test(NAME program_kolektor.dll
  COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-program.sh ${KOLEKTOR_BIN}/kolektor.dll
          ${KOLEKTOR_PROGRAMS}/kolektor.dll.imports ${KOLEKTOR_PROGRAMS}/kolektor.dll.exports)
foreach(program zrbhost.exe kolektor-test.exe terminal.exe)
  add_test(NAME program_${program}
    COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-program.sh ${KOLEKTOR_BIN}/${program}
            ${KOLEKTOR_PROGRAMS}/${program}.imports)
endforeach()
# The simulator's two other names are the same program.
foreach(program DLOOKUP2.EXE IR_READ2.EXE)
  add_test(NAME program_${program}
    COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-program.sh ${KOLEKTOR_BIN}/${program}
            ${KOLEKTOR_PROGRAMS}/terminal.exe.imports)
endforeach()
set_tests_properties(program_kolektor.dll program_zrbhost.exe program_kolektor-test.exe
  program_terminal.exe program_DLOOKUP2.EXE program_IR_READ2.EXE PROPERTIES LABELS static)
endif()

# The README's main command, unattended: the whole stocktaking round trip
# through zrbhost and the terminal simulator, counts checked.
if(KOLEKTOR_WINE_TESTS)
  add_test(NAME demo_round_trip
    COMMAND ${CMAKE_SOURCE_DIR}/scripts/demo.sh --no-build --build ${CMAKE_BINARY_DIR} --check
            --name demotest)
  set_tests_properties(demo_round_trip PROPERTIES TIMEOUT 300)
endif()

# Release files: the programs (signed when KOLEKTOR_SIGN_CERT and
# KOLEKTOR_SIGN_KEY name a certificate and its key), documents and examples
# staged in package/, and the setup program made from them with NSIS.
set(KOLEKTOR_SIGN_CERT "" CACHE FILEPATH "Code-signing certificate (PEM); empty: no signing")
set(KOLEKTOR_SIGN_KEY "" CACHE FILEPATH "Its private key (PEM)")
set(KOLEKTOR_SETUP ${CMAKE_BINARY_DIR}/kolektor-${PROJECT_VERSION}-setup.exe)
add_custom_command(OUTPUT ${KOLEKTOR_SETUP}
  COMMAND ${CMAKE_SOURCE_DIR}/scripts/package.sh ${CMAKE_BINARY_DIR} ${PROJECT_VERSION}
          ${KOLEKTOR_SIGN_CERT} ${KOLEKTOR_SIGN_KEY}
  DEPENDS ${KOLEKTOR_PRODUCT_FILES} ${CMAKE_SOURCE_DIR}/packaging/setup.nsi
          ${CMAKE_SOURCE_DIR}/packaging/INSTALL.txt ${CMAKE_SOURCE_DIR}/packaging/KOMUNIKATY.txt
          ${CMAKE_SOURCE_DIR}/examples/towary.txt ${CMAKE_SOURCE_DIR}/examples/scans.txt
          ${CMAKE_SOURCE_DIR}/scripts/package.sh
  COMMENT "Staging the release files and making the setup program")
add_custom_target(setup ALL DEPENDS ${KOLEKTOR_SETUP})

# The ZIP: kolektor-<version>-win32.zip, from the same staged files.
install(DIRECTORY ${CMAKE_BINARY_DIR}/package/ DESTINATION .)
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME "kolektor-${PROJECT_VERSION}-win32")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
include(CPack)

# Silent install, upgrade and uninstall under wine, in a prefix of its own.
kolektor_wine_test(win_setup_tests SOURCES tests/win32/setup_test.cpp PREFIX setup LOCK wine-setup)
target_compile_definitions(win_setup_tests PRIVATE KOLEKTOR_SETUP="${KOLEKTOR_SETUP}"
  KOLEKTOR_PACKAGE_DIR="${CMAKE_BINARY_DIR}/package")
add_dependencies(win_setup_tests setup)

if(KOLEKTOR_SIGN_CERT)
  add_test(NAME signatures
    COMMAND ${CMAKE_SOURCE_DIR}/scripts/verify-signatures.sh ${KOLEKTOR_SIGN_CERT}
            ${CMAKE_BINARY_DIR}/package ${KOLEKTOR_SETUP})
  set_tests_properties(signatures PROPERTIES LABELS static)
endif()

add_test(NAME release_package
  COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-package.sh ${CMAKE_BINARY_DIR})
set_tests_properties(release_package PROPERTIES TIMEOUT 120 LABELS static)

# The administrator's path through the form and zrbhost as the setup
# installs them, in a till's folders (C:\ZRB, C:\DANE) of a prefix of its own.
kolektor_wine_test(win_form_install_tests SOURCES tests/win32/form_install_test.cpp
  PREFIX forminstall TIMEOUT 600)
target_compile_definitions(win_form_install_tests PRIVATE KOLEKTOR_SETUP="${KOLEKTOR_SETUP}")
add_dependencies(win_form_install_tests setup)
# The form's layout at 96, 120 and 144 DPI on an 800x600 screen and at its
# least size, with the form's window in the test's own process, and the
# layout pass on made-up measures; it sets the DPI of a prefix of its own.
kolektor_wine_test(win_form_layout_tests SOURCES tests/win32/form_layout_test.cpp
  ${KOLEKTOR_FORM_SOURCES} PREFIX formlayout FILTER "-WinFormLayout.MeasuredHere")
target_link_libraries(win_form_layout_tests PRIVATE comdlg32 comctl32)
# The form's port check on COM ports mapped to a pseudo-terminal pair
# (socat), a held device and a missing one, in a prefix of its own.
add_executable(win_form_ports_tests tests/win32/form_ports_test.cpp tests/win32/plugin_loader.cpp)
target_link_libraries(win_form_ports_tests PRIVATE gtest_win kolektor_host)
target_include_directories(win_form_ports_tests PRIVATE ${CMAKE_SOURCE_DIR})
add_dependencies(win_form_ports_tests product)
if(KOLEKTOR_WINE_TESTS)
  add_test(NAME form_com_ports
    COMMAND ${CMAKE_SOURCE_DIR}/scripts/com-ports-test.sh $<TARGET_FILE:win_form_ports_tests>
            ${CMAKE_BINARY_DIR})
  set_tests_properties(form_com_ports PROPERTIES TIMEOUT 300)
endif()

# zrbhost's journal repair refuses while another program holds the folder's
# lock (file_holder).
add_dependencies(win_tools_tests file_holder)
# The field soak: seeded rounds of imports through the real DLL in zrbhost
# processes, each with one fault (a killed host, a second import, a file
# held by file_holder, a full disk through tests/win32/limited_host.sh, a
# cut download), the lanes side by side in a prefix of their own.
# scripts/soak.sh runs it longer.
kolektor_wine_test(win_field_soak_tests SOURCES tests/win32/field_soak_test.cpp
  PREFIX soak TIMEOUT 900)
target_compile_definitions(win_field_soak_tests PRIVATE KOLEKTOR_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
add_dependencies(win_field_soak_tests file_holder)
