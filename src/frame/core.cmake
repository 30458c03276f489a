# Portable core of src/frame (no Windows header): the keyed collection's
# default key folding (the container itself is the template in keyed_list.h).
list(APPEND VEMO_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/keyed_list.cpp)
