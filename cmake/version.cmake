# One source for the version and the application id: the project version and
# MORVANE_APP_ID feed a generated header (both windows, app/main.cpp, the
# driver, the tests) and the installed desktop entry, AppStream metadata and
# manual page.
set(MORVANE_APP_ID example.tarnwick.Morvane)
set(MORVANE_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
configure_file(${PROJECT_SOURCE_DIR}/cmake/version.h.in ${MORVANE_GENERATED_DIR}/morvane/version.h @ONLY)

add_library(morvane_version INTERFACE)
target_include_directories(morvane_version INTERFACE ${MORVANE_GENERATED_DIR})
