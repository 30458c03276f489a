# The one recipe for the project's COM DLLs (the product, the test host's
# two, and the test build's product with hooks).

# vemo_widl(IDL <file> OUT <dir> NAME <base> [TLB <file>] [DEPENDS ...])
# widl's C++ header <base>_h.h, GUID definitions <base>_i.c and type
# library (<base>.tlb unless TLB names another file) in <dir>.
function(vemo_widl)
  cmake_parse_arguments(W "" "IDL;OUT;NAME;TLB" "DEPENDS" ${ARGN})
  if(NOT W_TLB)
    set(W_TLB ${W_OUT}/${W_NAME}.tlb)
  endif()
  add_custom_command(OUTPUT ${W_TLB} ${W_OUT}/${W_NAME}_h.h ${W_OUT}/${W_NAME}_i.c
    COMMAND ${VEMO_WIDL} ${WIDL_FLAGS} -t -T ${W_TLB} -h -H ${W_OUT}/${W_NAME}_h.h
            -u -U ${W_OUT}/${W_NAME}_i.c ${W_IDL}
    COMMAND ${VEMO_WIDL_DATE} ${W_TLB}
    # widl writes the IDL defaults as C++ default arguments, which do not
    # compile for by-reference parameters; the defaults live in the type library.
    COMMAND sed -E -i "s/^( +[A-Za-z_][A-Za-z0-9_ *]*[ *][A-Za-z_][A-Za-z0-9_]*) = [^,)]+([,)])/\\1\\2/"
            ${W_OUT}/${W_NAME}_h.h
    DEPENDS ${W_IDL} ${W_DEPENDS} VERBATIM)
endfunction()

# vemo_com_dll(<target> DEF <file> [RC <file.rc.in>] [RC_DEPENDS ...]
#              [SOURCES ...] [INCLUDES ...] [LIBS ...] [OUTPUT_DIR <dir>])
# A COM DLL named <target>.dll: its sources, the resource script
# (configured with the caller's variables, so it can name generated type
# libraries by their full paths), the exports of its .def file (undecorated;
# the frame's module exports serve them), linked statically with the whole
# frame library, whose exports the .def file names and so cannot pull out
# of an archive itself.
function(vemo_com_dll name)
  cmake_parse_arguments(D "" "DEF;RC;OUTPUT_DIR" "RC_DEPENDS;SOURCES;INCLUDES;LIBS" ${ARGN})
  set(resources "")
  if(D_RC)
    set(resources ${CMAKE_CURRENT_BINARY_DIR}/${name}.rc)
    configure_file(${D_RC} ${resources} @ONLY)
    set_source_files_properties(${resources} PROPERTIES OBJECT_DEPENDS "${D_RC_DEPENDS}")
  endif()
  add_library(${name} SHARED ${D_SOURCES} ${resources} ${D_DEF})
  if(NOT D_OUTPUT_DIR)
    set(D_OUTPUT_DIR ${CMAKE_CURRENT_BINARY_DIR})
  endif()
  set_target_properties(${name} PROPERTIES PREFIX "" OUTPUT_NAME ${name}
    RUNTIME_OUTPUT_DIRECTORY ${D_OUTPUT_DIR} LIBRARY_OUTPUT_DIRECTORY ${D_OUTPUT_DIR})
  target_include_directories(${name} PRIVATE ${D_INCLUDES} ${CMAKE_SOURCE_DIR}/src)
  target_compile_definitions(${name} PRIVATE ${VEMO_WINDOWS_DEFINITIONS})
  # The .def names the exports undecorated; the fix-up to their stdcall
  # symbols is intended.
  target_link_options(${name} PRIVATE -Wl,--enable-stdcall-fixup)
  target_link_libraries(${name} PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,vemo_frame>" ${D_LIBS}
    oleaut32 ole32 uuid advapi32)
endfunction()
