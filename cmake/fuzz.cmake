# Fuzz build (clang, libFuzzer with ASan and UBSan): the same core as every
# other build, compiled for coverage, and one program per fuzz target over
# the fake platform. scripts/fuzz.sh builds and runs them.
set(KOLEKTOR_FUZZ_FLAGS -O1 -g -fsanitize=address,undefined -fno-sanitize-recover=all)
foreach(library kolektor_core kolektor_tools terminal_core)
  target_compile_options(${library} PRIVATE ${KOLEKTOR_FUZZ_FLAGS} -fsanitize=fuzzer-no-link)
endforeach()

add_library(kolektor_fake STATIC tests/native/fake_platform.cpp tests/native/test_host.cpp)
target_link_libraries(kolektor_fake PUBLIC kolektor_core)
target_compile_options(kolektor_fake PRIVATE ${KOLEKTOR_FUZZ_FLAGS} -fsanitize=fuzzer-no-link)

foreach(target goods_conversion data_conversion descriptions commands)
  add_executable(${target}_fuzz fuzz/${target}_fuzz.cpp)
  target_link_libraries(${target}_fuzz PRIVATE kolektor_fake kolektor_core)
  target_compile_options(${target}_fuzz PRIVATE ${KOLEKTOR_FUZZ_FLAGS} -fsanitize=fuzzer)
  target_link_options(${target}_fuzz PRIVATE ${KOLEKTOR_FUZZ_FLAGS} -fsanitize=fuzzer)
endforeach()
