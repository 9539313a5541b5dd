# Writes the site's service worker: the one in web/, with the list of the site's files and a digest of their contents.
#
# usage: cmake -DSITE_DIR=DIR -DTEMPLATE=web/service_worker.js -DFILES="a;b;..." -P service_worker.cmake
# The digest is that of every listed file's SHA-256 in turn, so it changes
# with any byte of the site, and with nothing else: the same sources give the
# same service worker, byte for byte.  SITE is written in after the
# template's line ANCHOR; a template without it is an error, not a worker
# that keeps nothing.
set(ANCHOR "'use strict';\n")
set(digests "")
set(names "\"./\"")
foreach(file IN LISTS FILES)
    file(SHA256 ${SITE_DIR}/${file} digest)
    string(APPEND digests "${digest} ${file}\n")
    string(APPEND names ", \"${file}\"")
endforeach()
string(SHA256 version "${digests}")
string(SUBSTRING ${version} 0 16 version)
file(READ ${TEMPLATE} worker)
string(FIND "${worker}" "${ANCHOR}" at)
if(at EQUAL -1)
    message(FATAL_ERROR "${TEMPLATE} has no line 'use strict'; for the site's files to be written after")
endif()
string(REPLACE "${ANCHOR}" "${ANCHOR}const SITE = {version: '${version}', files: [${names}]};\n" worker "${worker}")
file(WRITE ${SITE_DIR}/service_worker.js "${worker}")
