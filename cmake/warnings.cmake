# The warnings every target of the project is compiled with: link
# puzzle15_warnings (PRIVATE) to take them. GCC and Clang (emscripten's too)
# share the flags; no other compiler builds the project.
add_library(puzzle15_warnings INTERFACE)
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_compile_options(puzzle15_warnings INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wconversion)
endif()
# scripts/test.sh and scripts/windows.sh build with
# -DCMAKE_COMPILE_WARNING_AS_ERROR=ON, so that a new warning fails the suite.
