# The browser build: the game as WebAssembly, and the static site around it in <build>/site.
#
# Included from the top-level CMakeLists.txt when the toolchain is
# Emscripten's.  The site is the page (web/, with the game's runtime and the
# page's scripts inline in its HTML), the game's hitblow.wasm, the icons
# (rendered by rsvg-convert) and a service worker that keeps it all for
# offline play.  It asks nothing of any other host and works from any folder
# of any static file server.

set(HITBLOW_SITE_DIR ${CMAKE_BINARY_DIR}/site)

# The game is built as WebAssembly alone (STANDALONE_WASM), which the
# page's own runtime, web/game.js, runs: its imports are the page's and
# WASI's, never Emscripten's script, so none is checked against that
# script's library (the site's build runs the game, and fails on any import
# the runtime does not give).  -sASYNCIFY lets the game's blocking read of
# the page wait for the player.  The game makes no indirect call that could
# wait, which ASYNCIFY_IGNORE_INDIRECT tells it.  The rest keeps what a
# phone fetches and compiles small: the game allocates next to nothing (a
# small allocator, a megabyte of memory, 64 KB of stack; malloc is exported
# for the runtime's one buffer).
set(game_dir ${CMAKE_BINARY_DIR}/game)
set_target_properties(hitblow PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${game_dir} SUFFIX .wasm)
target_link_options(hitblow PRIVATE
    -sSTANDALONE_WASM
    -sERROR_ON_UNDEFINED_SYMBOLS=0
    -sWARN_ON_UNDEFINED_SYMBOLS=0
    -sASYNCIFY
    -sASYNCIFY_IGNORE_INDIRECT
    -sASYNCIFY_IMPORTS=page.read
    -sEXPORTED_FUNCTIONS=_malloc
    -sFILESYSTEM=0
    -sMALLOC=emmalloc
    -sINITIAL_MEMORY=1MB
    -sTOTAL_STACK=64KB
    -sSUPPORT_LONGJMP=0)
add_custom_command(OUTPUT ${HITBLOW_SITE_DIR}/hitblow.wasm
    COMMAND ${CMAKE_COMMAND} -E copy ${game_dir}/hitblow.wasm ${HITBLOW_SITE_DIR}/hitblow.wasm
    DEPENDS hitblow
    VERBATIM)
set(site_files ${HITBLOW_SITE_DIR}/hitblow.wasm)

# The page: web/index.html with the game's first screen in it, which the
# game prints when run here, so that it stands as soon as the HTML does;
# and the game's runtime and the page's scripts inline, run while the style
# sheet is on its way, so that the page takes the player's keys from its
# first frame and the game runs as soon as its wasm has come.  The page's
# scripts are listed in the order they run: each uses only those before it.
set(page_scripts transcript.js line_discipline.js record.js keyboard.js keypad.js worker_registration.js words.js runs.js)
list(TRANSFORM page_scripts PREPEND ${PROJECT_SOURCE_DIR}/web/)
find_program(HITBLOW_NODE node REQUIRED) # Emscripten's own needs
add_custom_command(OUTPUT ${HITBLOW_SITE_DIR}/index.html
    COMMAND ${HITBLOW_NODE} ${PROJECT_SOURCE_DIR}/cmake/page_html.mjs ${HITBLOW_SITE_DIR}/index.html
        ${PROJECT_SOURCE_DIR}/web/index.html ${PROJECT_SOURCE_DIR}/web/game.js ${game_dir}/hitblow.wasm ${page_scripts}
    DEPENDS hitblow ${PROJECT_SOURCE_DIR}/web/index.html ${PROJECT_SOURCE_DIR}/web/game.js ${page_scripts}
        ${PROJECT_SOURCE_DIR}/cmake/page_html.mjs
    VERBATIM)
list(APPEND site_files ${HITBLOW_SITE_DIR}/index.html)

# The rest of the page: every other file of web/ as it is, but the service
# worker, made below.
file(GLOB page_files CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/web/*)
list(REMOVE_ITEM page_files ${PROJECT_SOURCE_DIR}/web/service_worker.js ${PROJECT_SOURCE_DIR}/web/index.html
    ${PROJECT_SOURCE_DIR}/web/game.js ${page_scripts})
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
