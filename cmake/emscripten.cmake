# Builds for the browser with Debian's Emscripten (apt-get install emscripten).
#
# Debian's emcc finds the Node.js modules it runs on in /usr/share/nodejs,
# which a node that is not Debian's own does not look in unless NODE_PATH
# says so.  So NODE_PATH is set here, for the compiler checks CMake makes
# while configuring, and for every compile and link of the build.
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)

set(ENV{NODE_PATH} /usr/share/nodejs)
set(CMAKE_C_COMPILER_LAUNCHER env NODE_PATH=/usr/share/nodejs)
set(CMAKE_CXX_COMPILER_LAUNCHER env NODE_PATH=/usr/share/nodejs)
set(CMAKE_CXX_LINKER_LAUNCHER env NODE_PATH=/usr/share/nodejs)
