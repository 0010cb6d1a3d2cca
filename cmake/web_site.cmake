# Puts the web build's site together (run by the web_site target of
# cmake/web.cmake after the program is linked):
#   cmake -DSITE=DIR -DFILES=F;... -DNOTICES=F;... -DSERVICE_WORKER=sw.js.in
#         -DBROTLI=brotli -DGZIP=gzip -P web_site.cmake
# FILES are what the page loads, NOTICES the licences that go with them. The
# service worker keeps FILES for offline use in a cache named after their
# contents, so that a release with any file changed replaces the one before.
# Those of FILES larger than 4 KiB that compress (not the PNGs) get a .br and
# a .gz copy beside them.

foreach(variable SITE FILES NOTICES SERVICE_WORKER BROTLI GZIP)
    if(NOT DEFINED ${variable})
        message(FATAL_ERROR "web_site.cmake: ${variable} is not set")
    endif()
endforeach()

# The folder may be a mount point (scripts/in-debian.sh --output): empty it
# rather than remove it.
file(MAKE_DIRECTORY ${SITE})
file(GLOB old_files ${SITE}/* ${SITE}/.[!.]*)
if(old_files)
    file(REMOVE_RECURSE ${old_files})
endif()

set(names "")
set(hashes "")
foreach(file IN LISTS FILES)
    get_filename_component(name ${file} NAME)
    file(COPY_FILE ${file} ${SITE}/${name})
    file(SHA256 ${file} hash)
    list(APPEND names ${name})
    string(APPEND hashes "${hash}  ${name}\n")
endforeach()
foreach(file IN LISTS NOTICES)
    get_filename_component(name ${file} NAME)
    if(name MATCHES "^[A-Z0-9-]+$")
        set(name ${name}.txt)
    endif()
    file(COPY_FILE ${file} ${SITE}/${name})
endforeach()

# The release: the first 16 hex digits of the hash of all the files' hashes.
string(SHA256 release "${hashes}")
string(SUBSTRING ${release} 0 16 PUZZLE15_SITE_RELEASE)
# The page itself is asked for by the folder's address as well.
set(PUZZLE15_SITE_FILES "'./'")
foreach(name IN LISTS names)
    string(APPEND PUZZLE15_SITE_FILES ",\n    '${name}'")
endforeach()
configure_file(${SERVICE_WORKER} ${SITE}/sw.js @ONLY)

foreach(name IN LISTS names)
    set(file ${SITE}/${name})
    file(SIZE ${file} size)
    if(size LESS_EQUAL 4096 OR name MATCHES "\\.png$")
        continue()
    endif()
    execute_process(COMMAND ${GZIP} -9 -n -c ${file} OUTPUT_FILE ${file}.gz COMMAND_ERROR_IS_FATAL ANY)
    execute_process(COMMAND ${BROTLI} -q 11 -f -o ${file}.br ${file} COMMAND_ERROR_IS_FATAL ANY)
endforeach()
message(STATUS "Site release ${PUZZLE15_SITE_RELEASE} in ${SITE}")
