# Cross build for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64).
# The programs are linked statically, so that they run without the MinGW
# DLLs; wine64, where found, runs them for the tests.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(mingw_prefix x86_64-w64-mingw32)
find_program(CMAKE_C_COMPILER NAMES ${mingw_prefix}-gcc-posix ${mingw_prefix}-gcc)
find_program(CMAKE_CXX_COMPILER NAMES ${mingw_prefix}-g++-posix ${mingw_prefix}-g++)
find_program(CMAKE_RC_COMPILER NAMES ${mingw_prefix}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${mingw_prefix})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

find_program(survey_wine NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(survey_wine)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${survey_wine})
endif()
