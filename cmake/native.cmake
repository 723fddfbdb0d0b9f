# Native build: the core under AddressSanitizer and UndefinedBehaviorSanitizer,
# driven by GoogleTest through the fake platform.
find_package(GTest REQUIRED)
include(GoogleTest)

option(KOLEKTOR_SANITIZE "Build the core and its tests with ASan and UBSan" ON)
if(KOLEKTOR_SANITIZE)
  set(KOLEKTOR_SANITIZE_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
else()
  set(KOLEKTOR_SANITIZE_FLAGS)
endif()
target_compile_options(kolektor_core PRIVATE ${KOLEKTOR_SANITIZE_FLAGS})
target_compile_options(kolektor_tools PRIVATE ${KOLEKTOR_SANITIZE_FLAGS})
target_compile_options(kolektor_host_files PRIVATE ${KOLEKTOR_SANITIZE_FLAGS})

add_executable(kolektor_native_tests
  tests/native/fake_platform.cpp
  tests/native/test_host.cpp
  tests/native/descriptions_test.cpp
  tests/native/settings_test.cpp
  tests/native/goods_conversion_test.cpp
  tests/native/fixed_format_test.cpp
  tests/native/export_command_test.cpp
  tests/native/data_conversion_test.cpp
  tests/native/journal_test.cpp
  tests/native/import_command_test.cpp
  tests/native/killed_host_test.cpp
  tests/native/lookup_check_test.cpp
  tests/native/corpus_test.cpp
  tests/native/fault_matrix_test.cpp
  tests/native/fpu_guard_test.cpp
  tests/native/trace_test.cpp
  tests/native/message_reference_test.cpp
  tests/native/tools_test.cpp
  tests/native/reports_test.cpp
  tests/native/real_files_test.cpp
)
target_link_libraries(kolektor_native_tests PRIVATE kolektor_core kolektor_tools kolektor_host_files terminal_core
  kolektor_docs_lib GTest::gtest_main)
target_compile_options(kolektor_native_tests PRIVATE ${KOLEKTOR_SANITIZE_FLAGS})
target_compile_definitions(kolektor_native_tests PRIVATE KOLEKTOR_CORPUS_DIR="${CMAKE_SOURCE_DIR}/tests/corpus"
  KOLEKTOR_EXAMPLES_DIR="${CMAKE_SOURCE_DIR}/examples"
  KOLEKTOR_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
target_link_options(kolektor_native_tests PRIVATE ${KOLEKTOR_SANITIZE_FLAGS})
gtest_discover_tests(kolektor_native_tests
  PROPERTIES ENVIRONMENT "ASAN_OPTIONS=detect_leaks=1;UBSAN_OPTIONS=print_stacktrace=1")

# The message reference in the shipped files, from the message table.
add_library(kolektor_docs_lib STATIC tools/docs/reference_docs.cpp)
target_link_libraries(kolektor_docs_lib PUBLIC kolektor_tools)
target_compile_options(kolektor_docs_lib PRIVATE ${KOLEKTOR_SANITIZE_FLAGS})
add_executable(kolektor_docs tools/docs/docs_tool.cpp)
target_link_libraries(kolektor_docs PRIVATE kolektor_docs_lib)
target_compile_options(kolektor_docs PRIVATE ${KOLEKTOR_SANITIZE_FLAGS})
target_link_options(kolektor_docs PRIVATE ${KOLEKTOR_SANITIZE_FLAGS})

# Benchmarks and the one-conversion tool (meant for the release preset).
find_package(benchmark QUIET)
if(benchmark_FOUND AND NOT KOLEKTOR_SANITIZE)
  add_executable(kolektor_bench bench/conversion_bench.cpp)
  target_link_libraries(kolektor_bench PRIVATE kolektor_tools benchmark::benchmark)
endif()
add_executable(kolektor_convert bench/convert_tool.cpp)
target_link_libraries(kolektor_convert PRIVATE kolektor_tools)
target_compile_options(kolektor_convert PRIVATE ${KOLEKTOR_SANITIZE_FLAGS})
target_link_options(kolektor_convert PRIVATE ${KOLEKTOR_SANITIZE_FLAGS})
