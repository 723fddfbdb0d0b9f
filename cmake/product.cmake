# The shipped Windows programs, built by the win32 build as a sub-build with
# the XP toolchain: kolektor.dll, zrbhost, the test form and the terminal
# simulator. They land in the outer build's bin/ folder
# (KOLEKTOR_OUTPUT_DIR), beside the tests that drive them, stripped; the
# symbols of each stay in the build's symbols/ folder.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${KOLEKTOR_OUTPUT_DIR}/bin)
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${KOLEKTOR_OUTPUT_DIR}/bin)
set(KOLEKTOR_SYMBOLS_DIR ${KOLEKTOR_OUTPUT_DIR}/symbols)

enable_language(RC)
include(cmake/version.cmake)

# Compiled with debug information (the XP toolchain's -g), which then moves
# into a file of its own (symbols/NAME.debug) named in the program's
# .gnu_debuglink section: the shipped file stays small, and a crash address
# from a till can still be read (gdb, addr2line -e symbols/NAME.debug).
function(kolektor_ship target)
  set(debug ${KOLEKTOR_SYMBOLS_DIR}/$<TARGET_FILE_NAME:${target}>.debug)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E make_directory ${KOLEKTOR_SYMBOLS_DIR}
    COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE:${target}> ${debug}
    COMMAND ${CMAKE_STRIP} --strip-all $<TARGET_FILE:${target}>
    COMMAND ${CMAKE_OBJCOPY} --add-gnu-debuglink=${debug} $<TARGET_FILE:${target}>
    VERBATIM)
endfunction()

add_library(kolektor SHARED plugin/exports.cpp)
target_link_libraries(kolektor PRIVATE kolektor_platform kolektor_core)
target_link_options(kolektor PRIVATE -Wl,--kill-at)
set_target_properties(kolektor PROPERTIES PREFIX "" OUTPUT_NAME kolektor)
kolektor_version(kolektor "CipherLab 8x00 stocktaking plug-in for ZRB" kolektor.dll VFT_DLL)
kolektor_ship(kolektor)

# The diagnostic host: drives a plug-in DLL as the back-office host does.
add_executable(zrbhost host/zrbhost.cpp)
target_link_libraries(zrbhost PRIVATE kolektor_host kolektor_tools kolektor_core)
kolektor_version(zrbhost "ZRB plug-in diagnostic host" zrbhost.exe VFT_APP)
kolektor_ship(zrbhost)

# The test form for the people who install and support the plug-in: the
# window and its controls, the layout pass, the operations' worker, the
# rehearsal with the simulator, the ini file and the trace box, over the
# measuring and text helpers any of our Windows programs may use. Its
# manifest names the form's machine, whose common controls Windows then
# loads: x86 for the shipped form, amd64 for the 64-bit test build (which
# would not start with the x86 ones). Both files are copied beside each
# other, where the resource compiler looks for the manifest.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(KOLEKTOR_MANIFEST_MACHINE amd64)
else()
  set(KOLEKTOR_MANIFEST_MACHINE x86)
endif()
file(READ ${CMAKE_SOURCE_DIR}/host/test_form.manifest KOLEKTOR_MANIFEST)
string(REPLACE "processorArchitecture=\"x86\"" "processorArchitecture=\"${KOLEKTOR_MANIFEST_MACHINE}\""
       KOLEKTOR_MANIFEST "${KOLEKTOR_MANIFEST}")
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/rc/test_form.manifest CONTENT "${KOLEKTOR_MANIFEST}"
     @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/host/test_form.rc ${CMAKE_BINARY_DIR}/rc/test_form.rc COPYONLY)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             ${CMAKE_SOURCE_DIR}/host/test_form.manifest)
add_executable(kolektor-test WIN32 host/form_main.cpp ${KOLEKTOR_FORM_SOURCES}
  ${CMAKE_BINARY_DIR}/rc/test_form.rc)
target_link_libraries(kolektor-test PRIVATE kolektor_host kolektor_core comdlg32 comctl32)
target_link_options(kolektor-test PRIVATE -municode)
kolektor_version(kolektor-test "kolektor test form" kolektor-test.exe VFT_APP)
kolektor_ship(kolektor-test)

# The terminal simulator: one program, started as the two vendor utilities
# and as the person's "terminal" command.
foreach(program DLOOKUP2 IR_READ2 terminal)
  add_executable(${program} tools/terminal/terminal.cpp)
  target_link_libraries(${program} PRIVATE terminal_core)
  kolektor_version(${program} "CipherLab 8x00 terminal simulator" ${program}.exe VFT_APP)
  kolektor_ship(${program})
endforeach()
set_target_properties(DLOOKUP2 IR_READ2 PROPERTIES SUFFIX ".EXE")
# The export starts DLOOKUP2.EXE from the host's installation directory,
# which the test prefix's registry names.
add_custom_command(TARGET DLOOKUP2 POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E make_directory ${KOLEKTOR_OUTPUT_DIR}/install
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:DLOOKUP2> ${KOLEKTOR_OUTPUT_DIR}/install/DLOOKUP2.EXE)
