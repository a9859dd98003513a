# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 compilers (POSIX thread model, which
# std::thread and std::mutex need). Used for Qt, GoogleTest and the program itself; see
# tools/windows-test.sh. Libraries and packages are only looked up in the MinGW root and in the
# folders that CMAKE_FIND_ROOT_PATH adds (the Windows cache), never among the host's libraries.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QVZ_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QVZ_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QVZ_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${QVZ_MINGW_TRIPLET}-windres)

list(APPEND CMAKE_FIND_ROOT_PATH /usr/${QVZ_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Test executables are started through Wine when CMake or CTest runs them.
find_program(QVZ_WINE NAMES wine wine64)
if(QVZ_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${QVZ_WINE})
endif()
