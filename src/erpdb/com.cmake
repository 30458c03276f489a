list(APPEND VEMO_COM_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/procedure_call.cpp
  ${CMAKE_CURRENT_LIST_DIR}/vemofuns_erpdb.cpp)
