# CLI11 for a cross build: the build system's CLI11 headers, without the rest of its
# /usr/include (whose C library headers would stand in front of the target's).
if(NOT TARGET CLI11::CLI11)
    find_path(ORRELIN_HOST_CLI11 CLI/CLI.hpp PATHS /usr/include /usr/local/include
        NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
    if(NOT ORRELIN_HOST_CLI11)
        set(CLI11_FOUND FALSE)
        set(CLI11_NOT_FOUND_MESSAGE "CLI/CLI.hpp not found: install libcli11-dev")
        return()
    endif()
    set(ORRELIN_CLI11_ONLY ${CMAKE_BINARY_DIR}/cli11-headers)
    file(MAKE_DIRECTORY ${ORRELIN_CLI11_ONLY})
    file(CREATE_LINK ${ORRELIN_HOST_CLI11}/CLI ${ORRELIN_CLI11_ONLY}/CLI SYMBOLIC)
    add_library(CLI11::CLI11 INTERFACE IMPORTED)
    set_target_properties(CLI11::CLI11 PROPERTIES
        INTERFACE_INCLUDE_DIRECTORIES ${ORRELIN_CLI11_ONLY})
endif()
set(CLI11_FOUND TRUE)
