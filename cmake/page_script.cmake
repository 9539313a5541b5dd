# Writes the page's one script: the game's (Emscripten's hitblow.js), then the page's own scripts in one strict scope.
#
# usage: cmake -DOUT=site/page.js -DGAME=hitblow.js -DPAGE="web/a.js;web/b.js;..." -P page_script.cmake
# The game's script stands first, as Emscripten wrote it, and defines
# createHitblow.  The page's scripts follow in the order given, inside one
# function whose first script's 'use strict' makes it all strict; what they
# declare stays inside it.  What is only for their readers is left out.
file(READ ${GAME} game)
set(page "")
foreach(file IN LISTS PAGE)
    file(READ ${file} text)
    string(APPEND page "\n${text}")
endforeach()
# Lines that hold only a comment are left out, and so are blank lines and
# each line's indent: they are for the sources' readers, and nearly half the
# bytes a first visit would fetch.  (No string in these scripts spans lines,
# so no line begins inside one.)
string(REGEX REPLACE "\n[ ]*//[^\n]*" "" page "${page}")
string(REGEX REPLACE "\n[ \n]+" "\n" page "${page}")
file(WRITE ${OUT} "// hitblow in a browser: the page's scripts in one file, made when the site is built (cmake/page_script.cmake).\n${game}\n(() => {\n${page}})();\n")
