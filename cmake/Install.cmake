# Installs the program like any desktop program (the program, its desktop
# entry, icons in the hicolor theme, AppStream metadata, the ADIF MIME type
# and the manual page, under the
# GNU directories) and packs it as a Debian package:
#   cmake --preset release && cmake --build --preset release
#   cd build/release && cpack          -> orvanta_<version>_<arch>.deb
include(GNUInstallDirs)

set(ORVANTA_HOMEPAGE "https://orvanta.example.org" CACHE STRING "Home page named in the AppStream metadata")
set(ORVANTA_SCREENSHOT_URL "${ORVANTA_HOMEPAGE}/docs/screenshot.png"
    CACHE STRING "Address of the screenshot named in the AppStream metadata")
# The day of the build unless SOURCE_DATE_EPOCH fixes it, as reproducible builds do.
string(TIMESTAMP ORVANTA_BUILD_DATE "%Y-%m-%d" UTC)
set(ORVANTA_RELEASE_DATE "${ORVANTA_BUILD_DATE}" CACHE STRING "Date of this release in the AppStream metadata")

set(ORVANTA_APP_ID org.orvanta.Orvanta)
set(desktop_dir ${PROJECT_SOURCE_DIR}/resources/desktop)
set(icon_dir ${PROJECT_SOURCE_DIR}/resources/icons)
configure_file(${desktop_dir}/${ORVANTA_APP_ID}.metainfo.xml.in
               ${PROJECT_BINARY_DIR}/${ORVANTA_APP_ID}.metainfo.xml @ONLY)

install(TARGETS orvanta RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${desktop_dir}/${ORVANTA_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_BINARY_DIR}/${ORVANTA_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 16 32 48 64 128 256)
  install(FILES ${icon_dir}/orvanta-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME orvanta.png)
endforeach()
install(FILES ${icon_dir}/orvanta.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR})
# The ADIF log type, through shared-mime-info's package folder.
install(FILES ${PROJECT_SOURCE_DIR}/resources/mime/orvanta.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
# The manual page, compressed as Debian installs manual pages.
file(ARCHIVE_CREATE OUTPUT ${PROJECT_BINARY_DIR}/orvanta.1.gz PATHS ${PROJECT_SOURCE_DIR}/resources/man/orvanta.1
     FORMAT raw COMPRESSION GZip)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/resources/man/orvanta.1)
install(FILES ${PROJECT_BINARY_DIR}/orvanta.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvanta)
set(CPACK_PACKAGE_VENDOR "The Orvanta developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "look up stations in CALL3 databases and WSJT-X logs")
set(CPACK_PACKAGE_DESCRIPTION
    "Orvanta reads, searches and maintains the call sign databases in the CALL3 layout that the WSJT\n\
family of weak-signal programs uses, and searches the contact log that WSJT-X writes. It speaks\n\
German and English.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The Orvanta developers")
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
# The libraries come from the binary; Qt's German texts and the font the
# window is designed for are not linked, so they are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n, fonts-dejavu-core")
include(CPack)
