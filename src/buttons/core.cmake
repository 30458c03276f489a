# Portable core of src/buttons (no Windows header): the add counter of Btns.
list(APPEND VEMO_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/button_numbering.cpp)
