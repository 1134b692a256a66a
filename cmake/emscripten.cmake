# Building the converter for the browser with Debian's emscripten:
#   cmake -S . -B build-web --toolchain cmake/emscripten.cmake
# (scripts/quickstart.sh web does this and writes the site.)
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)

# Header-only packages are the host's own, found through config files that
# expose their header folders alone (not the host's /usr/include).
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)
set(nlohmann_json_DIR ${CMAKE_CURRENT_LIST_DIR}/cross-packages CACHE PATH "" FORCE)
set(FastFloat_DIR ${CMAKE_CURRENT_LIST_DIR}/cross-packages CACHE PATH "" FORCE)
set(fmt_DIR ${CMAKE_CURRENT_LIST_DIR}/cross-packages CACHE PATH "" FORCE)

# The page never unpacks bound images, and emscripten's zlib port would
# have to be fetched.
set(TESSA_ZLIB OFF CACHE BOOL "" FORCE)
