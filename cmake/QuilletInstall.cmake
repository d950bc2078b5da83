# What `cmake --install` puts where, and the Debian package made of it
# (`make deb`). The binary carries its own resources, so an installed Quillet
# needs nothing from the build or source tree.
include(GNUInstallDirs)

install(TARGETS quillet RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES data/com.ovo.quillet.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES data/com.ovo.quillet.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES data/icons/com.ovo.quillet.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES data/icons/com.ovo.quillet-symbolic.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/symbolic/apps)
install(FILES data/quillet.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# Read by tools that switch Qt logging categories on and off.
install(FILES data/quillet.categories
        DESTINATION ${CMAKE_INSTALL_DATADIR}/qlogging-categories6)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillet)
set(CPACK_PACKAGE_VENDOR "The Quillet developers")
set(CPACK_PACKAGE_CONTACT "The Quillet developers <quillet@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Clipboard history and screenshots at hand")
set(CPACK_PACKAGE_DESCRIPTION
    "Quillet lives in the system tray and keeps a local history of everything\n\
you copy (text, rich text, links, images, files) and of the screenshots the\n\
desktop saves, and gives them back: search, preview, copy, paste and drag.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# Library dependencies come from the binary itself.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, not linked: TIFF for copied images, the event sounds,
# the platform plugins of Qt (Wayland sessions need its Wayland plugin to
# run natively), and the file-type database for previews.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "qt6-image-formats-plugins, qt6-wayland, sound-theme-freedesktop, shared-mime-info")
include(CPack)
