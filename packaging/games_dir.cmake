# Run by CPack in the Debian package's staging tree once the project is
# installed there: Debian puts games in /usr/games, so the program moves
# there from the bin directory that `cmake --install` uses.
set(prefix "${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}")
file(MAKE_DIRECTORY "${prefix}/games")
file(RENAME "${prefix}/${CPACK_PUZZLE15_BINDIR}/puzzle15" "${prefix}/games/puzzle15")
file(GLOB left "${prefix}/${CPACK_PUZZLE15_BINDIR}/*")
if(NOT left)
    file(REMOVE_RECURSE "${prefix}/${CPACK_PUZZLE15_BINDIR}")
endif()
