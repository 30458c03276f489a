list(APPEND VEMO_COM_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/vemofuns.cpp
  ${CMAKE_CURRENT_LIST_DIR}/vemofuns_forms.cpp
  ${CMAKE_CURRENT_LIST_DIR}/vemofuns_grid.cpp
  ${CMAKE_CURRENT_LIST_DIR}/vemofuns_password.cpp
  ${CMAKE_CURRENT_LIST_DIR}/vemofuns_text.cpp)
