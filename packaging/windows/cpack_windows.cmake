# Read by cpack for each generator (CPACK_PROJECT_CONFIG_FILE).
# The installer's name says what it is; the zip keeps the plain name.
if(CPACK_GENERATOR STREQUAL "NSIS")
    set(CPACK_PACKAGE_FILE_NAME "${CPACK_PACKAGE_FILE_NAME}-setup")
endif()
# The size shown in the list of installed apps, in KiB: the program's, which
# is nearly all of it.
if(EXISTS "${CPACK_PUZZLE15_EXE}")
    file(SIZE "${CPACK_PUZZLE15_EXE}" size)
    math(EXPR CPACK_PUZZLE15_INSTALLED_KB "(${size} + 1023) / 1024")
else()
    set(CPACK_PUZZLE15_INSTALLED_KB 0)
endif()
