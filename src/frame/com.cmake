# The frame pieces that any COM DLL of the project builds on (the test host's
# components too): dispatch, class factory, module counts, errors, values,
# late-bound calls. Each DLL adds its own class table and registration.
set(VEMO_FRAME_SHARED_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/auto_values.cpp
  ${CMAKE_CURRENT_LIST_DIR}/class_factory.cpp
  ${CMAKE_CURRENT_LIST_DIR}/class_registry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/dispatch_object.cpp
  ${CMAKE_CURRENT_LIST_DIR}/errors.cpp
  ${CMAKE_CURRENT_LIST_DIR}/invoke_arguments.cpp
  ${CMAKE_CURRENT_LIST_DIR}/late_bound.cpp
  ${CMAKE_CURRENT_LIST_DIR}/module.cpp
  ${CMAKE_CURRENT_LIST_DIR}/typeinfo.cpp)
list(APPEND VEMO_COM_SOURCES ${VEMO_FRAME_SHARED_SOURCES}
  ${CMAKE_CURRENT_LIST_DIR}/ansi.cpp
  ${CMAKE_CURRENT_LIST_DIR}/classes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/collection.cpp
  ${CMAKE_CURRENT_LIST_DIR}/locale_key_folding.cpp
  ${CMAKE_CURRENT_LIST_DIR}/registration.cpp)
