# The Windows packages, made by scripts/package-windows.sh: a zip to unpack anywhere and an
# installer (NSIS) that puts orrelin-cli on the PATH and is removed again under "Apps" or by its
# Uninstall.exe. Both hold bin/orrelin-cli.exe, README.txt and, under licenses/, the copyright
# file of every library linked into the program: Debian's files of the packages it was built
# from (the cross libraries' own are kept in the cross folder by scripts/cross-deps.sh).
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION . RENAME README.txt)

set(orrelin_licenses
    "gcc-runtime=/usr/share/doc/gcc-mingw-w64-base/copyright"
    "mingw-w64-runtime=/usr/share/doc/mingw-w64-x86-64-dev/copyright"
    "cli11=/usr/share/doc/libcli11-dev/copyright")
set(orrelin_cross_licenses)
if(ORRELIN_HAVE_ARCHIVES)
    list(APPEND orrelin_cross_licenses zlib expat libzip)
endif()
if(ORRELIN_HAVE_LIBICAL)
    list(APPEND orrelin_cross_licenses libical3)
endif()
foreach(name IN LISTS orrelin_cross_licenses)
    list(APPEND orrelin_licenses "${name}=${ORRELIN_CROSS_PREFIX}/share/licenses/${name}/copyright")
endforeach()

# The installer's licence page shows them all, one after the other.
set(orrelin_all_licenses ${PROJECT_BINARY_DIR}/licenses.txt)
file(WRITE ${orrelin_all_licenses}
    "orrelin-cli.exe holds code of the libraries below; each one's copyright and licence "
    "follow.\n")
foreach(entry IN LISTS orrelin_licenses)
    string(REGEX MATCH "^([^=]+)=(.*)$" entry "${entry}")
    set(name ${CMAKE_MATCH_1})
    set(file ${CMAKE_MATCH_2})
    if(NOT EXISTS ${file})
        message(WARNING "No copyright file of ${name} (${file}): the Windows packages lack it")
        continue()
    endif()
    install(FILES ${file} DESTINATION licenses RENAME ${name}.txt)
    file(READ ${file} text)
    file(APPEND ${orrelin_all_licenses} "\n==== ${name}\n\n${text}")
endforeach()

set(CPACK_GENERATOR ZIP NSIS)
set(CPACK_PACKAGE_NAME orrelin-cli)
set(CPACK_PACKAGE_FILE_NAME orrelin-cli-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY Orrelin)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Orrelin)
set(CPACK_RESOURCE_FILE_LICENSE ${orrelin_all_licenses})
set(CPACK_NSIS_PACKAGE_NAME "Orrelin ${PROJECT_VERSION} (command line)")
set(CPACK_NSIS_DISPLAY_NAME "Orrelin ${PROJECT_VERSION} (command line)")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
# A 64-bit installer, as the program is: it runs where the program does, and 64-bit Wine runs it.
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
# The installer's folder bin\ goes on the PATH: for all users unless the options page says
# otherwise (our copy of the page makes that the choice given; a silent install takes it).
set(CPACK_NSIS_MODIFY_PATH ON)
set(CPACK_MODULE_PATH ${CMAKE_CURRENT_LIST_DIR})
