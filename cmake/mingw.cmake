# Cross build of the Windows DLLs and their Windows-side tests with
# mingw-w64. VEMO_MINGW_ARCH (a cache variable the presets set): i686 for
# the product, x86_64 for the 64-bit build.
set(CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VEMO_MINGW_ARCH)
if(NOT VEMO_MINGW_ARCH MATCHES "^(i686|x86_64)$")
  message(FATAL_ERROR "VEMO_MINGW_ARCH must be i686 or x86_64, not '${VEMO_MINGW_ARCH}'")
endif()
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${VEMO_MINGW_ARCH})
set(VEMO_MINGW_PREFIX ${VEMO_MINGW_ARCH}-w64-mingw32)
# The posix thread variant: GoogleTest needs std::condition_variable.
set(CMAKE_C_COMPILER ${VEMO_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VEMO_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${VEMO_MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${VEMO_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Windows programs the build runs go through the project's Wine launcher.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine)
