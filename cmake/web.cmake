# The browser build: the game as WebAssembly, and the static site around it in <build>/site.
#
# Included from the top-level CMakeLists.txt when the toolchain is
# Emscripten's.  The site is the page (web/), the game (hitblow.js and
# hitblow.wasm) and xterm.js from node_modules (run `npm ci` first); it asks
# nothing of any other host and works from any static file server.

set(HITBLOW_SITE_DIR ${CMAKE_BINARY_DIR}/site)
set(xterm_files
    ${PROJECT_SOURCE_DIR}/node_modules/@xterm/xterm/lib/xterm.js
    ${PROJECT_SOURCE_DIR}/node_modules/@xterm/xterm/css/xterm.css
    ${PROJECT_SOURCE_DIR}/node_modules/@xterm/addon-fit/lib/addon-fit.js)
foreach(file IN LISTS xterm_files)
    if(NOT EXISTS ${file})
        message(FATAL_ERROR "${file} is missing: run `npm ci` at the top of the source tree first")
    endif()
endforeach()

# -sASYNCIFY lets the game's blocking read wait for the player; the page
# makes a fresh module for every run (MODULARIZE) and calls main itself
# (INVOKE_RUN=0), awaiting its end through ccall.
set_target_properties(hitblow PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${HITBLOW_SITE_DIR})
target_link_options(hitblow PRIVATE
    -sASYNCIFY
    -sMODULARIZE
    -sEXPORT_NAME=createHitblow
    -sINVOKE_RUN=0
    -sEXPORTED_FUNCTIONS=_main
    -sEXPORTED_RUNTIME_METHODS=ccall
    -sENVIRONMENT=web
    -sFILESYSTEM=0)

set(page_files ${PROJECT_SOURCE_DIR}/web/index.html ${PROJECT_SOURCE_DIR}/web/line_discipline.js
    ${PROJECT_SOURCE_DIR}/web/keypad.js ${PROJECT_SOURCE_DIR}/web/runs.js
    ${PROJECT_SOURCE_DIR}/web/page.css)
set(site_files)
foreach(file IN LISTS page_files xterm_files)
    get_filename_component(name ${file} NAME)
    add_custom_command(OUTPUT ${HITBLOW_SITE_DIR}/${name}
        COMMAND ${CMAKE_COMMAND} -E copy ${file} ${HITBLOW_SITE_DIR}/${name}
        DEPENDS ${file}
        VERBATIM)
    list(APPEND site_files ${HITBLOW_SITE_DIR}/${name})
endforeach()
add_custom_target(hitblow_site ALL DEPENDS ${site_files})
add_dependencies(hitblow_site hitblow)
