# Install rules and the Debian package: where the game, its manual pages and its documents go.
#
# Included from the top-level CMakeLists.txt after the targets are defined.
# The binary goes to CMAKE_INSTALL_BINDIR, `bin` by default; Debian keeps games
# in /usr/games, so the `deb` preset sets it to `games` and the prefix to /usr.

include(GNUInstallDirs)

# The manual pages carry the project version, filled in here so that
# project(VERSION) stays the one place that defines it.
set(hitblow_man_pages hitblow.6 ja/hitblow.6)
find_program(HITBLOW_GZIP gzip)
set(hitblow_man_files)
foreach(page IN LISTS hitblow_man_pages)
    configure_file(man/${page}.in ${CMAKE_CURRENT_BINARY_DIR}/man/${page} @ONLY)
    if(HITBLOW_GZIP)
        # Compressed as Debian wants manual pages: best compression, and no
        # name or time stamp inside, so the package is the same on every build.
        add_custom_command(OUTPUT man/${page}.gz
            COMMAND ${HITBLOW_GZIP} -9nc man/${page} > man/${page}.gz
            DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/man/${page}
            VERBATIM)
        list(APPEND hitblow_man_files ${CMAKE_CURRENT_BINARY_DIR}/man/${page}.gz)
    else()
        list(APPEND hitblow_man_files ${CMAKE_CURRENT_BINARY_DIR}/man/${page})
    endif()
endforeach()
add_custom_target(hitblow_man_pages ALL DEPENDS ${hitblow_man_files})

install(TARGETS hitblow RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
list(GET hitblow_man_files 0 english_page)
list(GET hitblow_man_files 1 japanese_page)
install(FILES ${english_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${japanese_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/ja/man6)
install(FILES README.md LICENSE CHANGELOG.md DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The Debian package: hitblow_<version>_<arch>.deb.
set(CPACK_PACKAGE_NAME hitblow)
set(CPACK_PACKAGE_VENDOR "the hitblow developers")
set(CPACK_PACKAGE_CONTACT "the hitblow developers <hitblow@example.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "guess a secret row of digits: Hit & Blow with Japanese messages")
set(CPACK_PACKAGE_DESCRIPTION
    "A console game of Hit & Blow (bulls and cows) for one player.  The computer
draws a secret row of different digits; you guess it one digit at a time, and
after each guess the game tells you how many digits are right and in the right
place (HIT) and how many are right but elsewhere (BLOW).  All its messages are
in Japanese.")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_HITBLOW_SOURCE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_SOURCE_DIR}/cmake/debian-docs.cmake)
include(CPack)
