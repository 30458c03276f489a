# Native (Linux) build: the portable core, its unit tests, fuzzers and benchmarks.
option(VEMO_SANITIZE "Build the native core and its tests with ASan and UBSan" OFF)
if(VEMO_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
  # vemo_core was created before these options; give it the flags too.
  target_compile_options(vemo_core PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
endif()
target_compile_options(vemo_core PRIVATE -Wall -Wextra)

find_package(GTest REQUIRED)
file(GLOB VEMO_CORE_TESTS ${CMAKE_SOURCE_DIR}/tests/core/*_test.cpp)
if(VEMO_CORE_TESTS)
  add_executable(core_tests ${VEMO_CORE_TESTS})
  target_link_libraries(core_tests PRIVATE vemo_core GTest::gtest_main)
  include(GoogleTest)
  gtest_discover_tests(core_tests DISCOVERY_TIMEOUT 60)
endif()

if(EXISTS ${CMAKE_SOURCE_DIR}/tests/fuzz/CMakeLists.txt)
  add_subdirectory(tests/fuzz)
endif()
if(EXISTS ${CMAKE_SOURCE_DIR}/bench/CMakeLists.txt)
  add_subdirectory(bench)
endif()

# The test ERP database: private cluster life cycle, seed rows, procedures.
add_test(NAME db_environment COMMAND ${CMAKE_SOURCE_DIR}/tests/db/db_test.sh)
set_tests_properties(db_environment PROPERTIES TIMEOUT 600)
