# Installing (cmake --install) and the Debian package (cpack -G DEB).

install(TARGETS pagelet pagelet-setup RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS pagelet-sound pagelet-yaml pagelet-diff LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/pagelet)
# pagelet-setup copies these into a user's install folder.
install(DIRECTORY res/skins DESTINATION ${CMAKE_INSTALL_DATADIR}/pagelet)
install(FILES res/${PAGELET_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES res/${PAGELET_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The icon theme's sizes, drawn by the same routine as res/icon.png.
set(PAGELET_ICON_SIZES 48 128 256)
set(icon_dir ${CMAKE_BINARY_DIR}/icons)
set(icon_files)
foreach(size IN LISTS PAGELET_ICON_SIZES)
  list(APPEND icon_files ${icon_dir}/${size}x${size}.png)
  install(FILES ${icon_dir}/${size}x${size}.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME ${PAGELET_APP_ID}.png)
endforeach()
add_custom_command(OUTPUT ${icon_files}
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen $<TARGET_FILE:pagelet-icons> ${icon_dir} ${PAGELET_ICON_SIZES}
  DEPENDS pagelet-icons VERBATIM)
add_custom_target(pagelet_icons ALL DEPENDS ${icon_files})

set(CPACK_PACKAGE_NAME pagelet)
set(CPACK_PACKAGE_VENDOR Tarnwick)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "personal diary with a skinnable window")
set(CPACK_PACKAGE_DESCRIPTION "Pagelet is a personal diary in a small skinnable window: one page per day,
a pop-up month calendar with the days that have a page in bold, a weather mark
per page, a time stamp, a start-up password and exchangeable skins.")
set(CPACK_PACKAGE_CONTACT "Pagelet developers <pagelet@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Beyond the libraries the files link: the display plugins, the zip and encryption libraries
# (opened at their first use, so no linked file names them), and a font with Hangul.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libarchive13, libsodium23, libssl3, fonts-nanum | fonts-noto-cjk | fonts-unfonts-core")
# Wayland sessions need the Wayland display plugin; X11 runs without it.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, qt6-wayland")
set(CPACK_STRIP_FILES ON)
include(CPack)
