# Where Morvane lands on an installed system: the two programs, the desktop
# entry, the icons in the hicolor theme, the AppStream metadata and the driver's
# manual page, under the GNU directory names; and the Debian package CPack
# builds from those install rules (cpack -G DEB in a build tree).
include(GNUInstallDirs)

# One reverse-DNS id (MORVANE_APP_ID, cmake/version.cmake) names the desktop
# entry, the icon and the metadata, and the program announces it to the desktop
# at start-up (app/main.cpp). The entry, the metadata and the manual page are
# filled in with it and the version at configure time.
set(morvane_packaging_dir ${PROJECT_SOURCE_DIR}/packaging)
set(morvane_configured_dir ${CMAKE_BINARY_DIR}/packaging)
configure_file(${morvane_packaging_dir}/morvane.desktop.in
               ${morvane_configured_dir}/${MORVANE_APP_ID}.desktop @ONLY)
configure_file(${morvane_packaging_dir}/morvane.metainfo.xml.in
               ${morvane_configured_dir}/${MORVANE_APP_ID}.metainfo.xml @ONLY)
configure_file(${morvane_packaging_dir}/copyright ${morvane_configured_dir}/copyright @ONLY)
set(MORVANE_MAN_PAGE ${morvane_configured_dir}/man/morvane-convert.1)
configure_file(${morvane_packaging_dir}/morvane-convert.1 ${MORVANE_MAN_PAGE} @ONLY)

# Debian installs manual pages compressed; -n keeps the archive free of the
# build's time stamp so two builds give the same bytes.
find_program(MORVANE_GZIP gzip REQUIRED)
set(morvane_man_page ${CMAKE_BINARY_DIR}/packaging/morvane-convert.1)
add_custom_command(
  OUTPUT ${morvane_man_page}.gz
  COMMAND ${CMAKE_COMMAND} -E copy ${MORVANE_MAN_PAGE} ${morvane_man_page}
  COMMAND ${MORVANE_GZIP} -9 -n -f ${morvane_man_page}
  DEPENDS ${MORVANE_MAN_PAGE}
  COMMENT "Compressing the morvane-convert manual page"
  VERBATIM)
add_custom_target(morvane_man_page ALL DEPENDS ${morvane_man_page}.gz)
install(FILES ${morvane_man_page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${morvane_configured_dir}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/morvane)

if(MORVANE_GUI)
  install(FILES ${morvane_configured_dir}/${MORVANE_APP_ID}.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${morvane_configured_dir}/${MORVANE_APP_ID}.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  set(morvane_icon_dir ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
  install(FILES ${PROJECT_SOURCE_DIR}/resources/morvane.svg
          DESTINATION ${morvane_icon_dir}/scalable/apps RENAME ${MORVANE_APP_ID}.svg)
  foreach(size 48 256)
    install(FILES ${PROJECT_SOURCE_DIR}/resources/icon-${size}.png
            DESTINATION ${morvane_icon_dir}/${size}x${size}/apps RENAME ${MORVANE_APP_ID}.png)
  endforeach()
endif()

# The Debian package. Its library dependencies come from dpkg-shlibdeps (dpkg-dev)
# on the installed binaries, so they follow whatever Qt and libxml2 (the driver's
# --check) the build linked; tests/packaging/deb_package_test.sh checks each is there.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME morvane)
set(CPACK_PACKAGE_VENDOR Tarnwick)
set(CPACK_PACKAGE_CONTACT "Tarnwick <morvane@tarnwick.example>")
set(CPACK_PACKAGE_HOMEPAGE_URL "http://www.tarnwick.example/")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "convert Chinese WAP pages between GB2312 and character references")
set(CPACK_PACKAGE_DESCRIPTION
    "Morvane converts a WAP page (WML 1.1) written in Chinese between two text
forms: the GB2312 form, with the Chinese characters written as characters, and
the UTF-8 form, in which every character outside U+0020..U+00FF is written as a
hexadecimal character reference such as &#x4E2D;.
.
The package holds the desktop program morvane and the command-line driver
morvane-convert for scripts.")
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
if(MORVANE_GUI)
  # Qt's X11 platform plugin is only a recommendation of the Qt libraries, yet
  # without it the window cannot open; Qt's translations put the toolkit's own
  # texts (context menus, standard buttons) into the user's language; the
  # Chinese captions need a CJK font.
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n")
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-wqy-microhei)
endif()
include(CPack)
