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
set(IDL_DIR ${CMAKE_SOURCE_DIR}/src/frame/idl)
set(GEN ${CMAKE_BINARY_DIR}/gen)
file(MAKE_DIRECTORY ${GEN})
set(WIDL_FLAGS ${VEMO_WIDL_ARCH} -I${IDL_DIR} -I${GEN} -I${VEMO_WINE_IDL_DIR} -L${VEMO_STDOLE_DIR} -L${GEN})

# The build's own Wine prefix, for the tools that run during the build.
set(VEMO_BUILD_PREFIX ${CMAKE_BINARY_DIR}/wineprefix-build)
set(VEMO_WINE_ENV WINEPREFIX=${VEMO_BUILD_PREFIX} WINEARCH=${VEMO_WINEARCH} WINEDEBUG=-all "WINEDLLOVERRIDES=mscoree,mshtml=")

add_compile_options(-Wall -Wno-unknown-pragmas)
add_link_options(-static -static-libgcc -static-libstdc++)

# Declarations of the outside types, and their import libraries.
add_custom_command(OUTPUT ${GEN}/outside_types.h ${GEN}/outside_types_i.c
  COMMAND ${VEMO_WIDL} ${WIDL_FLAGS} -h -H ${GEN}/outside_types.h -u -U ${GEN}/outside_types_i.c ${IDL_DIR}/outside_types.idl
  DEPENDS ${IDL_DIR}/outside_types.idl VERBATIM)
set(VEMO_IMPORT_TLBS "")
foreach(lib ado21 collection pyx)
  add_custom_command(OUTPUT ${GEN}/${lib}.tlb
    COMMAND ${VEMO_WIDL} ${WIDL_FLAGS} -t -o ${GEN}/${lib}.tlb ${IDL_DIR}/${lib}.idl
    DEPENDS ${IDL_DIR}/${lib}.idl ${IDL_DIR}/outside_types.idl VERBATIM)
  list(APPEND VEMO_IMPORT_TLBS ${GEN}/${lib}.tlb)
  list(APPEND VEMO_IMPORT_TLBS_WINE Z:${GEN}/${lib}.tlb)
endforeach()
add_custom_target(import_tlbs ALL DEPENDS ${VEMO_IMPORT_TLBS})

# The library's IDL is kept in UTF-8; the type library stores GBK bytes.
add_custom_command(OUTPUT ${GEN}/VemoFunction.idl
  COMMAND ${VEMO_ICONV} -f UTF-8 -t GBK ${IDL_DIR}/VemoFunction.idl -o ${GEN}/VemoFunction.idl
  DEPENDS ${IDL_DIR}/VemoFunction.idl VERBATIM)
add_custom_command(OUTPUT ${GEN}/VemoFunction_widl.tlb ${GEN}/VemoFunction_h.h ${GEN}/VemoFunction_i.c
  COMMAND ${VEMO_WIDL} ${WIDL_FLAGS} -t -T ${GEN}/VemoFunction_widl.tlb -h -H ${GEN}/VemoFunction_h.h
          -u -U ${GEN}/VemoFunction_i.c ${GEN}/VemoFunction.idl
  # widl writes the IDL defaults as C++ default arguments, which do not
  # compile for by-reference parameters; the defaults live in the type library.
  COMMAND sed -E -i "s/^( +[A-Za-z_][A-Za-z0-9_ *]*[ *][A-Za-z_][A-Za-z0-9_]*) = [^,)]+([,)])/\\1\\2/" ${GEN}/VemoFunction_h.h
  DEPENDS ${GEN}/VemoFunction.idl ${VEMO_IMPORT_TLBS} ${GEN}/outside_types.h VERBATIM)

add_executable(tlbfinish ${IDL_DIR}/tlbfinish.cpp)
target_link_options(tlbfinish PRIVATE -municode)
target_link_libraries(tlbfinish PRIVATE oleaut32 ole32 uuid)
add_custom_command(OUTPUT ${GEN}/VemoFunction.tlb
  COMMAND ${CMAKE_COMMAND} -E env ${VEMO_WINE_ENV} wine $<TARGET_FILE:tlbfinish>
          Z:${GEN}/VemoFunction_widl.tlb Z:${GEN}/VemoFunction.tlb ${VEMO_IMPORT_TLBS_WINE}
  DEPENDS tlbfinish ${GEN}/VemoFunction_widl.tlb ${VEMO_IMPORT_TLBS} VERBATIM)

set(VEMO_COM_SOURCES "")
file(GLOB VEMO_COM_LISTS ${CMAKE_SOURCE_DIR}/src/*/com.cmake)
foreach(f ${VEMO_COM_LISTS})
  include(${f})
endforeach()

# The resource script names the finished type library (resource 1) and the
# collection's own declaration (resource 2) by their full paths.
set(VEMO_TLB_PATH ${GEN}/VemoFunction.tlb)
set(VEMO_COLLECTION_TLB_PATH ${GEN}/collection.tlb)
configure_file(${CMAKE_SOURCE_DIR}/src/frame/VemoFunction.rc.in ${GEN}/VemoFunction.rc @ONLY)
set_source_files_properties(${GEN}/VemoFunction.rc PROPERTIES
  OBJECT_DEPENDS "${GEN}/VemoFunction.tlb;${GEN}/collection.tlb")

# The library's code is compiled once; the product DLL and the test build's
# DLL with its extra hooks (tests/com) link the same objects.
add_library(vemo_com_objects OBJECT ${VEMO_COM_SOURCES} ${GEN}/VemoFunction_i.c ${GEN}/outside_types_i.c)
target_include_directories(vemo_com_objects PUBLIC ${GEN} ${CMAKE_SOURCE_DIR}/src)
target_compile_definitions(vemo_com_objects PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN)
add_library(VemoFunction SHARED $<TARGET_OBJECTS:vemo_com_objects>
  ${GEN}/VemoFunction.rc ${CMAKE_SOURCE_DIR}/src/frame/VemoFunction.def)
set_target_properties(VemoFunction PROPERTIES PREFIX "" OUTPUT_NAME VemoFunction)
target_include_directories(VemoFunction PRIVATE ${GEN} ${CMAKE_SOURCE_DIR}/src)
# The .def names the exports undecorated; the fix-up to their stdcall symbols is intended.
target_link_options(VemoFunction PRIVATE -Wl,--enable-stdcall-fixup)
set(VEMO_COM_LIBS vemo_core oleaut32 ole32 uuid advapi32 user32 gdi32)
target_link_libraries(VemoFunction PRIVATE ${VEMO_COM_LIBS})

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
target_link_libraries(regtlb PRIVATE oleaut32 ole32)
