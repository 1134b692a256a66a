# Cross-building the Windows programs on Debian with mingw-w64 (the posix
# thread model, for std::thread), run under Wine by ctest:
#   cmake -S . -B build-windows --toolchain cmake/mingw-w64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TESSA_MINGW_TRIPLE x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${TESSA_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TESSA_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TESSA_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TESSA_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Header-only packages are the host's own, found through config files that
# expose their header folders alone (not the host's /usr/include).
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)
set(CLI11_DIR ${CMAKE_CURRENT_LIST_DIR}/cross-packages CACHE PATH "" FORCE)
set(nlohmann_json_DIR ${CMAKE_CURRENT_LIST_DIR}/cross-packages CACHE PATH "" FORCE)
set(FastFloat_DIR ${CMAKE_CURRENT_LIST_DIR}/cross-packages CACHE PATH "" FORCE)
set(fmt_DIR ${CMAKE_CURRENT_LIST_DIR}/cross-packages CACHE PATH "" FORCE)

# Static programs import nothing but Windows' own DLLs: the C++ runtime,
# winpthreads and zlib go into the executable.
set(ZLIB_USE_STATIC_LIBS ON)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# ctest runs the test programs under Wine, in one prefix of the build tree.
set(CMAKE_CROSSCOMPILING_EMULATOR
    ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh ${CMAKE_BINARY_DIR}/wine-prefix)
# Test programs are asked for their tests when ctest runs, not while they
# are built: the build then needs no Wine.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
