# Native (Linux) build: the portable core, its unit tests, fuzzers and benchmarks.
option(VEMO_SANITIZE "Build the native core and its tests with ASan and UBSan" OFF)
# The sanitizers travel with the core to what links it (its tests); the
# benchmarks compile the sources they measure themselves, without them.
add_library(vemo_sanitizers INTERFACE)
if(VEMO_SANITIZE)
  target_compile_options(vemo_sanitizers INTERFACE
    -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  target_link_options(vemo_sanitizers INTERFACE -fsanitize=address,undefined)
endif()
target_link_libraries(vemo_core PUBLIC vemo_sanitizers)
target_compile_options(vemo_core PRIVATE -Wall -Wextra)

find_package(GTest REQUIRED)
file(GLOB VEMO_CORE_TESTS ${CMAKE_SOURCE_DIR}/tests/core/*_test.cpp)
add_executable(core_tests ${VEMO_CORE_TESTS})
target_link_libraries(core_tests PRIVATE vemo_core GTest::gtest_main)
include(GoogleTest)
gtest_discover_tests(core_tests DISCOVERY_TIMEOUT 60)

# The installer writer's rules (tools/msi, a tool of the build machine that
# the Windows builds compile and run).
add_executable(msi_tool_tests ${CMAKE_SOURCE_DIR}/tests/tools/msi_tool_test.cpp
  ${CMAKE_SOURCE_DIR}/tools/msi/installer_source.cpp ${CMAKE_SOURCE_DIR}/tools/msi/name_uuid.cpp
  ${CMAKE_SOURCE_DIR}/tools/msi/product_version.cpp)
target_include_directories(msi_tool_tests PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tools)
target_link_libraries(msi_tool_tests PRIVATE vemo_sanitizers GTest::gtest_main)
gtest_discover_tests(msi_tool_tests DISCOVERY_TIMEOUT 60)

add_subdirectory(tests/fuzz)
add_subdirectory(bench)

# The test ERP database: private cluster life cycle, seed rows, procedures.
add_test(NAME db_environment COMMAND ${CMAKE_SOURCE_DIR}/tests/db/db_test.sh)
set_tests_properties(db_environment PROPERTIES TIMEOUT 600)
