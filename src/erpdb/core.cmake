# Portable core of src/erpdb: the argument rules of the statement texts.
list(APPEND VEMO_CORE_SOURCES ${CMAKE_CURRENT_LIST_DIR}/sql_text.cpp)
