# Run by CPack before it packs a .deb: adds the two documents Debian requires of every package.
#
# Debian wants the licence at /usr/share/doc/<package>/copyright and, for a
# package without a Debian revision like this one, the changes in Debian's
# changelog format at /usr/share/doc/<package>/changelog.gz.  Here the installed
# LICENSE is renamed and changelog.gz is made from CHANGELOG.md, so that a plain
# `cmake --install` keeps the project's own file names and the package gets
# Debian's.

if(NOT CPACK_GENERATOR STREQUAL "DEB")
    return()
endif()

set(doc_dir "${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}/share/doc/${CPACK_PACKAGE_NAME}")
file(MAKE_DIRECTORY "${doc_dir}")
file(RENAME "${doc_dir}/LICENSE" "${doc_dir}/copyright")

# Each "## VERSION (YYYY-MM-DD)" section of CHANGELOG.md becomes one entry: its
# lines indented by two spaces, "- " items turned into "* " items.
file(STRINGS "${CPACK_HITBLOW_SOURCE_DIR}/CHANGELOG.md" lines)
set(changelog "")
set(trailer "")
foreach(line IN LISTS lines)
    if(line MATCHES "^## ([^ ]+) \\(([0-9-]+)\\)$")
        set(version "${CMAKE_MATCH_1}")
        execute_process(COMMAND date -R -u -d "${CMAKE_MATCH_2}"
            OUTPUT_VARIABLE date OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
        string(APPEND changelog "${trailer}${CPACK_PACKAGE_NAME} (${version}) unstable; urgency=medium\n\n")
        set(trailer "\n -- ${CPACK_PACKAGE_CONTACT}  ${date}\n\n")
    elseif(NOT trailer STREQUAL "" AND NOT line STREQUAL "")
        string(REGEX REPLACE "^- " "* " line "${line}")
        string(APPEND changelog "  ${line}\n")
    endif()
endforeach()
string(APPEND changelog "${trailer}")
string(REGEX REPLACE "\n\n$" "\n" changelog "${changelog}")
file(WRITE "${doc_dir}/changelog" "${changelog}")
execute_process(COMMAND gzip -9nf "${doc_dir}/changelog" COMMAND_ERROR_IS_FATAL ANY)
