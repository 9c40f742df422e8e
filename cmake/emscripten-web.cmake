# WebAssembly + WebGL 2 build with Debian's emscripten, entirely offline: only what emscripten
# carries itself (html5.h, the GLES3 headers, its file system) is used, never its "ports", which
# would download libraries at build time.
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)

# emcc's JavaScript optimiser needs acorn, which Debian installs outside node's default path.
set(CMAKE_C_LINKER_LAUNCHER env NODE_PATH=/usr/share/nodejs)
set(CMAKE_CXX_LINKER_LAUNCHER env NODE_PATH=/usr/share/nodejs)
