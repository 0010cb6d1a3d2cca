# Reproducible builds: one commit gives the same program file and the same
# package wherever and whenever it is built. Every timestamp comes from
# SOURCE_DATE_EPOCH, the release's when the caller sets none.

# The release: its date, 2026-12-08, as the seconds since 1970 at its
# midnight UTC.
set(PUZZLE15_RELEASE_EPOCH 1796688000)

if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(PUZZLE15_SOURCE_DATE_EPOCH "$ENV{SOURCE_DATE_EPOCH}")
else()
    set(PUZZLE15_SOURCE_DATE_EPOCH ${PUZZLE15_RELEASE_EPOCH})
endif()

# puzzle15_release_time(FORMAT OUT): the release's time in a string(TIMESTAMP)
# format (which formats SOURCE_DATE_EPOCH when it is set).
function(puzzle15_release_time format out)
    if(DEFINED ENV{SOURCE_DATE_EPOCH})
        set(caller_epoch "$ENV{SOURCE_DATE_EPOCH}")
    endif()
    set(ENV{SOURCE_DATE_EPOCH} ${PUZZLE15_RELEASE_EPOCH})
    string(TIMESTAMP time "${format}" UTC)
    if(DEFINED caller_epoch)
        set(ENV{SOURCE_DATE_EPOCH} "${caller_epoch}")
    else()
        unset(ENV{SOURCE_DATE_EPOCH})
    endif()
    set(${out} "${time}" PARENT_SCOPE)
endfunction()
puzzle15_release_time("%Y-%m-%d" PUZZLE15_RELEASE_DATE)

# No source or build directory in the program file (__FILE__, debug information).
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    foreach(target puzzle15_platform puzzle15_game puzzle15_window puzzle15)
        target_compile_options(${target} PRIVATE
            "-ffile-prefix-map=${PROJECT_SOURCE_DIR}=." "-ffile-prefix-map=${PROJECT_BINARY_DIR}=.")
    endforeach()
endif()
