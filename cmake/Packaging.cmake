# The Debian package (./build.sh package): what `cmake --install` puts in place, under /usr.
# Its library dependencies come from the binary (dpkg-shlibdeps); the packages it needs without linking
# them are named here: the Japanese font the pane asks for and Qt's Japanese translations of its dialogs.
include(GNUInstallDirs)

set(VELA_MAINTAINER "VELA developers <maintainers@users.noreply.c-seed-71c8f103.example>")

# The documentation files a Debian package carries, compressed without a time stamp.
configure_file(${PROJECT_SOURCE_DIR}/resources/package/changelog.in ${CMAKE_BINARY_DIR}/package/changelog @ONLY)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/package/changelog.gz
                   COMMAND gzip -9 -n -f -k ${CMAKE_BINARY_DIR}/package/changelog
                   DEPENDS ${CMAKE_BINARY_DIR}/package/changelog VERBATIM)
add_custom_target(vela_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/package/changelog.gz)
install(FILES ${PROJECT_SOURCE_DIR}/resources/package/copyright ${CMAKE_BINARY_DIR}/package/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vela)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CONTACT "${VELA_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "HTML source editor with coloured tags, for Japanese pages")
set(CPACK_PACKAGE_DESCRIPTION "A desktop editor for writing HTML pages by hand.
The page source is typed into one large black pane; menu commands and
toolbar buttons wrap the selection in coloured HTML tags with a rough
preview of their effect, and small dialogs compose tags with parameters.
Pages are kept as source documents (.kvd, RTF) and exported as .htm files
in the charset the page declares. The interface is in Japanese.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION editors)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic, qt6-translations-l10n")
# The menu entry, the file types and the icons reach the desktop through these packages' triggers.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "desktop-file-utils, shared-mime-info, hicolor-icon-theme")
include(CPack)
