# Cross build of the 64-bit Windows DLL (for 64-bit hosts; the 32-bit build is the product) and its Windows-side tests.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VEMO_MINGW_PREFIX x86_64-w64-mingw32)
# The posix thread variant: GoogleTest needs std::condition_variable.
set(CMAKE_C_COMPILER ${VEMO_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VEMO_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${VEMO_MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${VEMO_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# ctest runs the Windows test programs under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine)
