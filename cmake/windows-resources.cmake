# The Windows program file's resources: its icon, version record and
# manifest. The resource script is generated on every platform so that a test
# can compile it anywhere; cmake/windows.cmake builds it into the program.
set(PUZZLE15_RC_TEMPLATE "resources/puzzle15.rc.in")
set(PUZZLE15_ICO "${PROJECT_SOURCE_DIR}/resources/puzzle15.ico")
set(PUZZLE15_MANIFEST "${PROJECT_BINARY_DIR}/puzzle15.manifest")
# Windows writes a version as four numbers: "1.0.0.0" in the manifest and the
# installer, "1,0,0,0" in the version record.
set(PUZZLE15_VERSION_QUAD "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.0.0")
if(PROJECT_VERSION_PATCH)
    set(PUZZLE15_VERSION_QUAD "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0")
endif()
string(REPLACE "." "," PUZZLE15_RC_VERSION "${PUZZLE15_VERSION_QUAD}")
configure_file(${PROJECT_SOURCE_DIR}/resources/puzzle15.manifest.in ${PUZZLE15_MANIFEST} @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/${PUZZLE15_RC_TEMPLATE} ${PROJECT_BINARY_DIR}/puzzle15.rc @ONLY)
