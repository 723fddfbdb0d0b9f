# The shipped Windows programs, built by the win32 build as a sub-build with
# the XP toolchain: kolektor.dll, zrbhost, the test form and the terminal
# simulator. They land in the outer build's bin/ folder
# (KOLEKTOR_OUTPUT_DIR), beside the tests that drive them.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${KOLEKTOR_OUTPUT_DIR}/bin)
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${KOLEKTOR_OUTPUT_DIR}/bin)

# The callbacks and exports use the stdcall convention.
target_compile_definitions(kolektor_core PUBLIC "KOLEKTOR_STDCALL=__stdcall")
# No runtime DLL of the compiler's may be needed on a shop's till.
set(KOLEKTOR_STATIC -static -static-libgcc -static-libstdc++)

enable_language(RC)
include(cmake/version.cmake)

add_library(kolektor SHARED plugin/exports.cpp platform/win32.cpp platform/win32_file.cpp)
target_link_libraries(kolektor PRIVATE kolektor_core)
target_link_options(kolektor PRIVATE ${KOLEKTOR_STATIC} -Wl,--kill-at)
set_target_properties(kolektor PROPERTIES PREFIX "" OUTPUT_NAME kolektor)
kolektor_version(kolektor "CipherLab 8x00 stocktaking plug-in for ZRB" kolektor.dll VFT_DLL)

# The host library, with the installation check that zrbhost and the form
# share.
add_library(kolektor_host STATIC host/plugin_host.cpp host/install_check.cpp)
target_include_directories(kolektor_host PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(kolektor_host PUBLIC version kolektor_core)

# The diagnostic host: drives a plug-in DLL as the back-office host does.
add_executable(zrbhost host/zrbhost.cpp)
target_link_libraries(zrbhost PRIVATE kolektor_host kolektor_tools kolektor_core)
target_link_options(zrbhost PRIVATE ${KOLEKTOR_STATIC})
kolektor_version(zrbhost "ZRB plug-in diagnostic host" zrbhost.exe VFT_APP)

# The test form for the people who install and support the plug-in.
add_executable(kolektor-test WIN32 host/test_form.cpp host/test_form.rc)
target_link_libraries(kolektor-test PRIVATE kolektor_host kolektor_core comdlg32 comctl32)
target_link_options(kolektor-test PRIVATE ${KOLEKTOR_STATIC} -municode)
kolektor_version(kolektor-test "kolektor test form" kolektor-test.exe VFT_APP)

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
  COMMAND ${CMAKE_COMMAND} -E make_directory ${KOLEKTOR_OUTPUT_DIR}/install
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:DLOOKUP2> ${KOLEKTOR_OUTPUT_DIR}/install/DLOOKUP2.EXE)
