# Manual pages, bash completion and the Debian package (cpack -G DEB in the build folder makes
# orrelin_VERSION_amd64.deb with the window, the command line, the desktop entry, the MIME types,
# the icon, the manual pages and the completion).

# orrelin-cli(1) is made from the command line's own help, so it always says what the program
# does; it needs the program to run, so a cross build goes without it. Pages are installed
# compressed, as Debian has them.
if(NOT CMAKE_CROSSCOMPILING)
    find_program(ORRELIN_GZIP gzip REQUIRED)
    set(man ${PROJECT_BINARY_DIR}/man)
    add_custom_command(OUTPUT ${man}/orrelin-cli.1.gz
        COMMAND ${CMAKE_COMMAND} -DCLI=$<TARGET_FILE:orrelin-cli> -DOUT=${man}/orrelin-cli.1
            -DVERSION=${PROJECT_VERSION} -P ${PROJECT_SOURCE_DIR}/cmake/cli-manpage.cmake
        COMMAND ${ORRELIN_GZIP} -9nf ${man}/orrelin-cli.1
        DEPENDS orrelin-cli ${PROJECT_SOURCE_DIR}/cmake/cli-manpage.cmake
        COMMENT "Writing the manual page of orrelin-cli from its help")
    add_custom_command(OUTPUT ${man}/orrelin.1.gz
        COMMAND ${ORRELIN_GZIP} -9nc ${PROJECT_SOURCE_DIR}/resources/man/orrelin.1 > ${man}/orrelin.1.gz
        DEPENDS ${PROJECT_SOURCE_DIR}/resources/man/orrelin.1)
    add_custom_target(orrelin-manpages ALL DEPENDS ${man}/orrelin-cli.1.gz ${man}/orrelin.1.gz)
    install(FILES ${man}/orrelin-cli.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    if(ORRELIN_BUILD_GUI)
        install(FILES ${man}/orrelin.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    endif()
    install(FILES ${PROJECT_SOURCE_DIR}/resources/bash-completion/orrelin-cli
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
endif()

set(CPACK_PACKAGE_NAME orrelin)
set(CPACK_PACKAGE_VENDOR Orrelin)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "reader and converter for BlackBerry handheld backups")
set(CPACK_STRIP_FILES ON)
if(WIN32)
    include(${CMAKE_CURRENT_LIST_DIR}/windows/packages.cmake)
else()
    set(CPACK_GENERATOR DEB)
    set(CPACK_PACKAGE_DESCRIPTION
        "Orrelin opens BlackBerry handheld backups (.ipd), shows their databases and records,\
 exports them as text, CSV, vCard, iCalendar or JSON, splits and merges backups and edits\
 service book entries. The package holds the window program (orrelin) and the command line\
 (orrelin-cli).")
    set(CPACK_PACKAGE_CONTACT "Orrelin developers <orrelin@localhost>")
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_SECTION utils)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    # Desktop menus and file managers learn the MIME types and the entry through these.
    set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "shared-mime-info, desktop-file-utils")
endif()
include(CPack)
