# Portable core of src/util (no Windows header): text utilities, password
# mixing, row-mark parsing and pixel arithmetic.
list(APPEND VEMO_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/text.cpp
  ${CMAKE_CURRENT_LIST_DIR}/getstring.cpp
  ${CMAKE_CURRENT_LIST_DIR}/addstrnum.cpp
  ${CMAKE_CURRENT_LIST_DIR}/numeric_tail.cpp
  ${CMAKE_CURRENT_LIST_DIR}/password.cpp
  ${CMAKE_CURRENT_LIST_DIR}/rowmarks.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pixels.cpp)
