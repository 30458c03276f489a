# Windows build: the type library, VemoFunction.dll and the Windows-side tests.
find_program(VEMO_WIDL NAMES ${VEMO_MINGW_PREFIX}-widl widl REQUIRED)
find_program(VEMO_ICONV iconv REQUIRED)
set(VEMO_WINE_IDL_DIR /usr/include/wine/wine/windows)
# The 32-bit build is the product; the 64-bit one serves 64-bit hosts.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(VEMO_WINEARCH win64)
  set(VEMO_STDOLE_DIR /usr/lib/x86_64-linux-gnu/wine/x86_64-windows)
  set(VEMO_WIDL_ARCH -m64)
else()
  set(VEMO_WINEARCH win32)
  set(VEMO_STDOLE_DIR /usr/lib/i386-linux-gnu/wine/i386-windows)
  set(VEMO_WIDL_ARCH -m32)
endif()
# The project's scripts read the prefix architecture of a build from here.
file(WRITE ${CMAKE_BINARY_DIR}/wine-arch ${VEMO_WINEARCH})
set(IDL_DIR ${CMAKE_SOURCE_DIR}/src/vemofunction/idl)
set(GEN ${CMAKE_BINARY_DIR}/gen)
file(MAKE_DIRECTORY ${GEN})
set(WIDL_FLAGS ${VEMO_WIDL_ARCH} -I${IDL_DIR} -I${GEN} -I${VEMO_WINE_IDL_DIR} -L${VEMO_STDOLE_DIR} -L${GEN})
# widl stamps each type library with the time it ran; this puts
# SOURCE_DATE_EPOCH's time there instead, when it is set.
set(VEMO_WIDL_DATE ${CMAKE_SOURCE_DIR}/scripts/widl-date)
include(${CMAKE_CURRENT_LIST_DIR}/com_dll.cmake)

# Every Windows program is started through the launcher, which picks the
# loader for the program and the prefix.
set(VEMO_WINE ${CMAKE_SOURCE_DIR}/scripts/wine)

# Where this build's Windows-side tests run (VEMO_RUN prefixes their commands):
#   here   under Wine on this machine (always for the 64-bit build);
#   guest  in the emulated 32-bit machine (scripts/guest): a 32-bit build on a
#          machine whose kernel runs no 32-bit code (scripts/probe-32bit);
#   off    not at all: VEMO_WIN32_GUEST=OFF on such a machine; ctest then
#          reports those tests as not run (skipped), with the reason.
# Checks that read the built files without running them run here always.
option(VEMO_WIN32_GUEST "Run the 32-bit suite in the emulated machine where 32-bit code does not run here" ON)
execute_process(COMMAND ${CMAKE_SOURCE_DIR}/scripts/probe-32bit OUTPUT_VARIABLE VEMO_32BIT_CODE
  OUTPUT_STRIP_TRAILING_WHITESPACE)
set(VEMO_TIMEOUT_SCALE 1)
if(VEMO_WINEARCH STREQUAL win64 OR VEMO_32BIT_CODE STREQUAL yes)
  set(VEMO_WINDOWS_RUNNER here)
  set(VEMO_RUN "")
elseif(VEMO_WIN32_GUEST)
  set(VEMO_WINDOWS_RUNNER guest)
  set(VEMO_GUEST_STATE ${CMAKE_BINARY_DIR}/guest-session)
  set(VEMO_RUN ${CMAKE_SOURCE_DIR}/scripts/guest exec ${VEMO_GUEST_STATE} --)
  # Software emulation: the same work takes several times as long.
  set(VEMO_TIMEOUT_SCALE 5)
else()
  set(VEMO_WINDOWS_RUNNER off)
  set(VEMO_RUN ${CMAKE_SOURCE_DIR}/scripts/not-run
    "this machine runs no 32-bit x86 code (scripts/probe-32bit) and VEMO_WIN32_GUEST is OFF")
endif()
message(STATUS "Windows-side tests of this ${VEMO_WINEARCH} build: ${VEMO_WINDOWS_RUNNER}")
file(WRITE ${CMAKE_BINARY_DIR}/windows-runner ${VEMO_WINDOWS_RUNNER})

# vemo_windows_test(NAME COMMAND...): a test that runs this build's Windows
# programs, wherever VEMO_RUN says.
function(vemo_windows_test name)
  add_test(NAME ${name} COMMAND ${VEMO_RUN} ${ARGN})
  set_property(DIRECTORY APPEND PROPERTY VEMO_WINDOWS_TESTS ${name})
endfunction()

# Called at the end of each directory with such tests (test properties are
# per directory): they get the runner's fixture, time-outs and labels.
function(vemo_finish_windows_tests)
  get_property(tests DIRECTORY PROPERTY VEMO_WINDOWS_TESTS)
  foreach(t ${tests})
    set_property(TEST ${t} APPEND PROPERTY LABELS windows-${VEMO_WINDOWS_RUNNER})
    get_test_property(${t} TIMEOUT timeout)
    if(timeout)
      math(EXPR timeout "${timeout} * ${VEMO_TIMEOUT_SCALE}")
      set_tests_properties(${t} PROPERTIES TIMEOUT ${timeout})
    endif()
    if(VEMO_WINDOWS_RUNNER STREQUAL guest)
      set_property(TEST ${t} APPEND PROPERTY FIXTURES_REQUIRED guest)
      if(timeout)
        # The machine ends the command a little earlier, so its output comes back.
        math(EXPR inside "${timeout} - 20")
        set_property(TEST ${t} APPEND PROPERTY ENVIRONMENT VEMO_GUEST_TIMEOUT=${inside})
      endif()
    elseif(VEMO_WINDOWS_RUNNER STREQUAL off)
      set_tests_properties(${t} PROPERTIES SKIP_RETURN_CODE 77)
    endif()
  endforeach()
endfunction()

# The emulated machine's life: one boot for all the tests that need it.
if(VEMO_WINDOWS_RUNNER STREQUAL guest)
  add_test(NAME guest_start COMMAND ${CMAKE_SOURCE_DIR}/scripts/guest start ${VEMO_GUEST_STATE})
  set_tests_properties(guest_start PROPERTIES FIXTURES_SETUP guest TIMEOUT 1800)
  add_test(NAME guest_stop COMMAND ${CMAKE_SOURCE_DIR}/scripts/guest stop ${VEMO_GUEST_STATE})
  set_tests_properties(guest_stop PROPERTIES FIXTURES_CLEANUP guest TIMEOUT 120)
endif()

# The build's own Wine prefix, for the tools that run during the build.
set(VEMO_BUILD_PREFIX ${CMAKE_BINARY_DIR}/wineprefix-build)

# -O2 rather than CMake's -O3 for Release: smaller code, no slower in bench/.
foreach(lang C CXX)
  string(REPLACE "-O3" "-O2" CMAKE_${lang}_FLAGS_RELEASE "${CMAKE_${lang}_FLAGS_RELEASE}")
endforeach()
add_compile_options(-Wall -Wno-unknown-pragmas)
# The product's files whose calls wait on the database, the host's profile
# component or registration (milliseconds per call, once per form) compiled
# for size: about a third smaller, and no call of theirs is measurably
# slower. Dispatch, the collection, the buttons and the text helpers, which
# bench/ times and where -Os is slower, stay at -O2.
function(vemo_compile_for_size)
  set_source_files_properties(${ARGN} TARGET_DIRECTORY vemo_com_objects PROPERTIES COMPILE_OPTIONS -Os)
endfunction()
add_link_options(-static -static-libgcc -static-libstdc++)
# Lean binaries, the same bytes from any checkout: every function and datum
# in a section of its own, so that the link keeps only what the exports and
# entry points reach; no link time in the PE header and export table; the
# source and build folders written as "." and "build" into the debug
# information (the build folder's map comes last, so it wins inside the
# source). Debug information always (it does not change the code): the
# release strips it into VemoFunction.dll.debug, for the crash reports.
add_compile_options($<$<COMPILE_LANGUAGE:C,CXX>:-g>
  $<$<COMPILE_LANGUAGE:C,CXX>:-ffunction-sections> $<$<COMPILE_LANGUAGE:C,CXX>:-fdata-sections>
  $<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_SOURCE_DIR}=.>
  $<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_BINARY_DIR}=build>)
add_link_options(-Wl,--gc-sections -Wl,--no-insert-timestamp)

# Declarations of the outside types, and their import libraries.
add_custom_command(OUTPUT ${GEN}/outside_types.h ${GEN}/outside_types_i.c
  COMMAND ${VEMO_WIDL} ${WIDL_FLAGS} -h -H ${GEN}/outside_types.h -u -U ${GEN}/outside_types_i.c ${IDL_DIR}/outside_types.idl
  DEPENDS ${IDL_DIR}/outside_types.idl VERBATIM)
set(VEMO_IMPORT_TLBS "")
foreach(lib ado21 collection pyx)
  add_custom_command(OUTPUT ${GEN}/${lib}.tlb
    COMMAND ${VEMO_WIDL} ${WIDL_FLAGS} -t -o ${GEN}/${lib}.tlb ${IDL_DIR}/${lib}.idl
    COMMAND ${VEMO_WIDL_DATE} ${GEN}/${lib}.tlb
    DEPENDS ${IDL_DIR}/${lib}.idl ${IDL_DIR}/outside_types.idl VERBATIM)
  list(APPEND VEMO_IMPORT_TLBS ${GEN}/${lib}.tlb)
  list(APPEND VEMO_IMPORT_TLBS_WINE Z:${GEN}/${lib}.tlb)
endforeach()
add_custom_target(import_tlbs ALL DEPENDS ${VEMO_IMPORT_TLBS})

# The library's IDL is kept in UTF-8; the type library stores GBK bytes.
add_custom_command(OUTPUT ${GEN}/VemoFunction.idl
  COMMAND ${VEMO_ICONV} -f UTF-8 -t GBK ${IDL_DIR}/VemoFunction.idl -o ${GEN}/VemoFunction.idl
  DEPENDS ${IDL_DIR}/VemoFunction.idl VERBATIM)
vemo_widl(IDL ${GEN}/VemoFunction.idl OUT ${GEN} NAME VemoFunction TLB ${GEN}/VemoFunction_widl.tlb
  DEPENDS ${VEMO_IMPORT_TLBS} ${GEN}/outside_types.h)

add_executable(tlbfinish ${CMAKE_SOURCE_DIR}/tools/tlbfinish/main.cpp)
target_link_options(tlbfinish PRIVATE -municode)
target_link_libraries(tlbfinish PRIVATE vemo_frame)
# The finishing step (scripts/tlb-finish): the build's own finisher where it
# runs here; a 32-bit build on a machine without 32-bit code takes the kept
# 32-bit result, or finishes inside the emulated machine.
add_custom_command(OUTPUT ${GEN}/VemoFunction.tlb
  COMMAND ${CMAKE_SOURCE_DIR}/scripts/tlb-finish make ${CMAKE_BINARY_DIR}
  DEPENDS tlbfinish ${GEN}/VemoFunction_widl.tlb ${VEMO_IMPORT_TLBS}
          ${IDL_DIR}/VemoFunction.win32.tlb ${IDL_DIR}/VemoFunction.win32.tlb.sources VERBATIM)

# The side-by-side manifest, written from the class table that registration
# uses (src/vemofunction/class_table.h) by a tool of the build machine
# (tools/manifest): embedded as manifest resource 1 and shipped beside the
# DLL as VemoFunction.manifest.
find_program(VEMO_HOST_CXX NAMES c++ g++ clang++ REQUIRED)
# The architecture as the manifest and the installer name it.
if(VEMO_WINEARCH STREQUAL win64)
  set(VEMO_ASSEMBLY_ARCH amd64)
  set(VEMO_MSI_ARCH x64)
else()
  set(VEMO_ASSEMBLY_ARCH x86)
  set(VEMO_MSI_ARCH x86)
endif()
set(VEMO_MANIFEST_TOOL ${CMAKE_BINARY_DIR}/tools/manifest)
set(VEMO_MANIFEST ${GEN}/VemoFunction.manifest)
add_custom_command(OUTPUT ${VEMO_MANIFEST}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/tools
  COMMAND ${VEMO_HOST_CXX} -std=c++17 -O2 -Wall -Wextra -I${CMAKE_SOURCE_DIR}/src -I${CMAKE_SOURCE_DIR}/tools
          -o ${VEMO_MANIFEST_TOOL} ${CMAKE_SOURCE_DIR}/tools/manifest/main.cpp
  COMMAND ${VEMO_MANIFEST_TOOL} ${VEMO_ASSEMBLY_ARCH} ${VEMO_MANIFEST}
  COMMAND ${CMAKE_COMMAND} -E copy ${VEMO_MANIFEST} ${CMAKE_BINARY_DIR}/VemoFunction.manifest
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/manifest/main.cpp ${CMAKE_SOURCE_DIR}/tools/table_text.h
          ${CMAKE_SOURCE_DIR}/src/vemofunction/class_table.h VERBATIM)

# The installers' registration rows, written from the same class table by a
# tool of the build machine (tools/msi): a WiX fragment per scope, which
# scripts/msi builds the packages around (with the same tool).
set(VEMO_MSI_TOOL ${CMAKE_BINARY_DIR}/tools/msi)
file(GLOB VEMO_MSI_TOOL_FILES ${CMAKE_SOURCE_DIR}/tools/msi/*.cpp ${CMAKE_SOURCE_DIR}/tools/msi/*.h)
set(VEMO_MSI_TOOL_SOURCES ${VEMO_MSI_TOOL_FILES})
list(FILTER VEMO_MSI_TOOL_SOURCES INCLUDE REGEX "\\.cpp$")
add_custom_command(OUTPUT ${VEMO_MSI_TOOL} ${GEN}/VemoFunction.registration.machine.wxs
                          ${GEN}/VemoFunction.registration.user.wxs
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/tools
  COMMAND ${VEMO_HOST_CXX} -std=c++17 -O2 -Wall -Wextra -I${CMAKE_SOURCE_DIR}/src -I${CMAKE_SOURCE_DIR}/tools
          -o ${VEMO_MSI_TOOL} ${VEMO_MSI_TOOL_SOURCES}
  COMMAND ${VEMO_MSI_TOOL} registration ${VEMO_MSI_ARCH} machine ${GEN}/VemoFunction.registration.machine.wxs
  COMMAND ${VEMO_MSI_TOOL} registration ${VEMO_MSI_ARCH} user ${GEN}/VemoFunction.registration.user.wxs
  DEPENDS ${VEMO_MSI_TOOL_FILES} ${CMAKE_SOURCE_DIR}/tools/table_text.h
          ${CMAKE_SOURCE_DIR}/src/vemofunction/class_table.h VERBATIM)
add_custom_target(msi_registration ALL DEPENDS ${VEMO_MSI_TOOL} ${GEN}/VemoFunction.registration.machine.wxs)

set(VEMO_WINDOWS_DEFINITIONS UNICODE _UNICODE WIN32_LEAN_AND_MEAN)
# The frame, compiled once for every COM DLL of the project (the product and
# the test host's); each DLL links it with a class table of its own.
add_library(vemo_frame STATIC)
target_include_directories(vemo_frame PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_compile_definitions(vemo_frame PUBLIC ${VEMO_WINDOWS_DEFINITIONS})
target_link_libraries(vemo_frame PUBLIC oleaut32 ole32 uuid advapi32)
# The library's own code is compiled once too; the product DLL and the test
# build's DLL with its extra hooks (tests/com) link the same objects.
add_library(vemo_com_objects OBJECT ${GEN}/VemoFunction_i.c ${GEN}/outside_types_i.c)
target_include_directories(vemo_com_objects PUBLIC ${GEN} ${CMAKE_SOURCE_DIR}/src)
target_compile_definitions(vemo_com_objects PUBLIC ${VEMO_WINDOWS_DEFINITIONS})
add_subdirectory(src)

# The resource script names the finished type library (resource 1), the
# collection's own declaration (resource 2) and the manifest by their full paths.
set(VEMO_TLB_PATH ${GEN}/VemoFunction.tlb)
set(VEMO_COLLECTION_TLB_PATH ${GEN}/collection.tlb)
set(VEMO_RC_DEPENDS ${GEN}/VemoFunction.tlb ${GEN}/collection.tlb ${VEMO_MANIFEST})
set(VEMO_COM_LIBS vemo_core user32 gdi32)
vemo_com_dll(VemoFunction SOURCES $<TARGET_OBJECTS:vemo_com_objects>
  RC ${CMAKE_SOURCE_DIR}/src/vemofunction/VemoFunction.rc.in RC_DEPENDS ${VEMO_RC_DEPENDS}
  DEF ${CMAKE_SOURCE_DIR}/src/vemofunction/VemoFunction.def INCLUDES ${GEN} LIBS ${VEMO_COM_LIBS})

# The checks of the built files (and their tool, dllcheck, which the release
# also reads the DLL's version with) and the release's own tests.
add_subdirectory(tests/dll)
add_subdirectory(tests/release)

# With VEMO_TESTS off (scripts/release) the build makes only what ships.
option(VEMO_TESTS "Build the test host and the Windows-side tests" ON)
if(VEMO_TESTS)
  # Stand-ins for the host's components (data access, profile, ...): built
  # here, registered only in test prefixes, never shipped.
  foreach(dir ado components)
    if(EXISTS ${CMAKE_SOURCE_DIR}/host/${dir}/CMakeLists.txt)
      add_subdirectory(host/${dir})
    endif()
  endforeach()

  if(EXISTS ${CMAKE_SOURCE_DIR}/tests/com/CMakeLists.txt)
    add_subdirectory(tests/com)
  endif()

  # Test host tool: registers the import type libraries in a test prefix.
  add_executable(regtlb ${CMAKE_SOURCE_DIR}/host/regtlb.cpp)
  target_link_options(regtlb PRIVATE -municode)
  target_include_directories(regtlb PRIVATE ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(regtlb PRIVATE oleaut32 ole32)
endif()
