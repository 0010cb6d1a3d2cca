# Read by cpack before it makes a package (CPACK_PROJECT_CONFIG_FILE).
# Without SOURCE_DATE_EPOCH from the caller, the archive's times are those
# the build used: the caller's at configure time, or the release's date.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
    set(ENV{SOURCE_DATE_EPOCH} "${CPACK_PUZZLE15_SOURCE_DATE_EPOCH}")
endif()
