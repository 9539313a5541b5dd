# The browser build: the game as WebAssembly, and the static site around it in <build>/site.
#
# Included from the top-level CMakeLists.txt when the toolchain is
# Emscripten's.  The site is the page (web/, with the game's script and its
# own inline in its HTML), the game's hitblow.wasm, the icons (rendered by
# rsvg-convert) and a service worker that keeps it all for offline play.  It
# asks nothing of any other host and works from any folder of any static
# file server.

set(HITBLOW_SITE_DIR ${CMAKE_BINARY_DIR}/site)

# -sASYNCIFY lets the game's blocking read wait for the player; the page
# makes a fresh module for every run (MODULARIZE) and calls main itself
# (INVOKE_RUN=0), awaiting its end through ccall.  The game makes no
# indirect call that could wait, which ASYNCIFY_IGNORE_INDIRECT tells it.
# The rest keeps what a phone fetches, parses and compiles small: the game
# allocates next to nothing (a small allocator, a megabyte of memory, 64 KB
# of stack), and the runtime reads no more of the module than the page gives
# it, and never evaluates code from a string.  Its wasm goes into the site
# as it is, its script into the page.
set(game_dir ${CMAKE_BINARY_DIR}/game)
set_target_properties(hitblow PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${game_dir})
target_link_options(hitblow PRIVATE
    -sASYNCIFY
    -sASYNCIFY_IGNORE_INDIRECT
    -sMODULARIZE
    -sEXPORT_NAME=createHitblow
    -sINVOKE_RUN=0
    -sEXPORTED_FUNCTIONS=_main
    -sEXPORTED_RUNTIME_METHODS=ccall
    -sENVIRONMENT=web
    -sFILESYSTEM=0
    -sMALLOC=emmalloc
    -sINITIAL_MEMORY=1MB
    -sTOTAL_STACK=64KB
    -sINCOMING_MODULE_JS_API=page,printErr,quit,wasmBinary
    -sTEXTDECODER=2
    -sDYNAMIC_EXECUTION=0
    -sSUPPORT_LONGJMP=0)
add_custom_command(OUTPUT ${HITBLOW_SITE_DIR}/hitblow.wasm
    COMMAND ${CMAKE_COMMAND} -E copy ${game_dir}/hitblow.wasm ${HITBLOW_SITE_DIR}/hitblow.wasm
    DEPENDS hitblow
    VERBATIM)
set(site_files ${HITBLOW_SITE_DIR}/hitblow.wasm)

# The page: web/index.html with the game's first screen in it, which the
# game prints when run here, so that it stands as soon as the HTML does;
# and the game's script and the page's inline, run while the style sheet is
# on its way, so that the page takes the player's keys from its first frame
# and the game runs as soon as its wasm has come.  The page's scripts are
# listed in the order they run: each uses only those before it.
set(page_scripts transcript.js line_discipline.js record.js keyboard.js keypad.js worker_registration.js words.js runs.js)
list(TRANSFORM page_scripts PREPEND ${PROJECT_SOURCE_DIR}/web/)
find_program(HITBLOW_NODE node REQUIRED) # Emscripten's own needs
add_custom_command(OUTPUT ${HITBLOW_SITE_DIR}/index.html
    COMMAND ${HITBLOW_NODE} ${PROJECT_SOURCE_DIR}/cmake/page_html.mjs ${HITBLOW_SITE_DIR}/index.html
        ${PROJECT_SOURCE_DIR}/web/index.html ${game_dir}/hitblow.js ${game_dir}/hitblow.wasm ${page_scripts}
    DEPENDS hitblow ${PROJECT_SOURCE_DIR}/web/index.html ${page_scripts}
        ${PROJECT_SOURCE_DIR}/cmake/page_html.mjs
    VERBATIM)
list(APPEND site_files ${HITBLOW_SITE_DIR}/index.html)

# The rest of the page: every other file of web/ as it is, but the service
# worker, made below.
file(GLOB page_files CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/web/*)
list(REMOVE_ITEM page_files ${PROJECT_SOURCE_DIR}/web/service_worker.js ${PROJECT_SOURCE_DIR}/web/index.html ${page_scripts})
foreach(file IN LISTS page_files)
    get_filename_component(name ${file} NAME)
    add_custom_command(OUTPUT ${HITBLOW_SITE_DIR}/${name}
        COMMAND ${CMAKE_COMMAND} -E copy ${file} ${HITBLOW_SITE_DIR}/${name}
        DEPENDS ${file}
        VERBATIM)
    list(APPEND site_files ${HITBLOW_SITE_DIR}/${name})
endforeach()

# The icons that a phone puts on its home screen, drawn from the one SVG.
find_program(RSVG_CONVERT rsvg-convert)
if(NOT RSVG_CONVERT)
    message(FATAL_ERROR "rsvg-convert is missing: apt-get install librsvg2-bin")
endif()
foreach(size 192 512)
    add_custom_command(OUTPUT ${HITBLOW_SITE_DIR}/icon-${size}.png
        COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${HITBLOW_SITE_DIR}/icon-${size}.png
            ${PROJECT_SOURCE_DIR}/web/icon.svg
        DEPENDS ${PROJECT_SOURCE_DIR}/web/icon.svg
        VERBATIM)
    list(APPEND site_files ${HITBLOW_SITE_DIR}/icon-${size}.png)
endforeach()

# The service worker, last: it lists every other file, with a digest of them all.
set(site_names)
foreach(file IN LISTS site_files)
    get_filename_component(name ${file} NAME)
    list(APPEND site_names ${name})
endforeach()
list(SORT site_names)
add_custom_command(OUTPUT ${HITBLOW_SITE_DIR}/service_worker.js
    COMMAND ${CMAKE_COMMAND} -DSITE_DIR=${HITBLOW_SITE_DIR} -DTEMPLATE=${PROJECT_SOURCE_DIR}/web/service_worker.js
        "-DFILES=${site_names}" -P ${PROJECT_SOURCE_DIR}/cmake/service_worker.cmake
    DEPENDS hitblow ${site_files} ${PROJECT_SOURCE_DIR}/web/service_worker.js
        ${PROJECT_SOURCE_DIR}/cmake/service_worker.cmake
    VERBATIM)
add_custom_target(hitblow_site ALL DEPENDS ${site_files} ${HITBLOW_SITE_DIR}/service_worker.js)
add_dependencies(hitblow_site hitblow)
