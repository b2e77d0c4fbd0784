# Install rules of the shared files and the Debian package (cpack -G DEB; ./build.sh --deb).
# The programs' own install rules are beside their targets in app/ and cli/.
set(VELTRO_PACKAGING_DIR ${CMAKE_SOURCE_DIR}/packaging)
set(VELTRO_ICON_SVG ${CMAKE_SOURCE_DIR}/app/resources/app.svg)

install(FILES ${VELTRO_PACKAGING_DIR}/veltro-sitemap.desktop DESTINATION share/applications)
install(FILES ${VELTRO_PACKAGING_DIR}/org.veltro.sitemap.metainfo.xml DESTINATION share/metainfo)
install(FILES ${VELTRO_PACKAGING_DIR}/bash-completion/veltro-sitemap-cli
        DESTINATION share/bash-completion/completions)
install(FILES ${VELTRO_ICON_SVG} DESTINATION share/icons/hicolor/scalable/apps RENAME veltro-sitemap.svg)
install(FILES ${VELTRO_PACKAGING_DIR}/copyright DESTINATION share/doc/veltro-sitemap)
install(FILES ${VELTRO_PACKAGING_DIR}/lintian/veltro-sitemap DESTINATION share/lintian/overrides)

# Man pages and the changelog go in compressed, without a time stamp (gzip -n).
set(VELTRO_GZIPPED "")
foreach(pair "man/veltro-sitemap.1|share/man/man1" "man/veltro-sitemap-cli.1|share/man/man1"
             "changelog|share/doc/veltro-sitemap")
  string(REPLACE "|" ";" pair "${pair}")
  list(GET pair 0 source)
  list(GET pair 1 destination)
  get_filename_component(name ${source} NAME)
  set(gz ${CMAKE_BINARY_DIR}/packaging/${name}.gz)
  add_custom_command(OUTPUT ${gz} COMMAND sh -c "gzip -9n -c '${VELTRO_PACKAGING_DIR}/${source}' > '${gz}'"
                     DEPENDS ${VELTRO_PACKAGING_DIR}/${source} VERBATIM)
  list(APPEND VELTRO_GZIPPED ${gz})
  install(FILES ${gz} DESTINATION ${destination})
endforeach()

# The bitmap icons are drawn from the SVG at build time (librsvg2-bin, scripts/setup.sh).
find_program(VELTRO_RSVG_CONVERT rsvg-convert)
set(VELTRO_ICON_PNGS "")
if(VELTRO_RSVG_CONVERT)
  foreach(size 48 128 256)
    set(png ${CMAKE_BINARY_DIR}/packaging/icons/${size}x${size}/veltro-sitemap.png)
    add_custom_command(OUTPUT ${png} COMMAND ${VELTRO_RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${VELTRO_ICON_SVG}
                       DEPENDS ${VELTRO_ICON_SVG} VERBATIM)
    list(APPEND VELTRO_ICON_PNGS ${png})
    install(FILES ${png} DESTINATION share/icons/hicolor/${size}x${size}/apps)
  endforeach()
else()
  message(WARNING "rsvg-convert not found (librsvg2-bin): the package gets no bitmap icons")
endif()
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/packaging/icons/48x48 ${CMAKE_BINARY_DIR}/packaging/icons/128x128
     ${CMAKE_BINARY_DIR}/packaging/icons/256x256)
add_custom_target(veltro_package_files ALL DEPENDS ${VELTRO_GZIPPED} ${VELTRO_ICON_PNGS})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME veltro-sitemap)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Veltro Sitemap developers")
set(CPACK_PACKAGE_CONTACT "Veltro Developers <dev@veltro.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop website sitemap generator")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Veltro Sitemap (Veltro网站地图生成器) crawls a website with several worker
threads, follows its same-site links up to a chosen depth and writes the
addresses it found, the failures with their codes, XML sitemaps (split by
size, optionally gzip) and a plain URL list.
.
The package holds the Qt window veltro-sitemap and the command
veltro-sitemap-cli, which runs the same crawl without a window.")
set(CPACK_DEBIAN_PACKAGE_SECTION web)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Library packages come from dpkg-shlibdeps; HTTPS needs the certificate store besides, and
# Qt's buttons and dialogs their Chinese texts.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "ca-certificates, qt6-translations-l10n")
# Chinese text in the window, and the browser the help button hands the guide to.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wqy-microhei | fonts-noto-cjk, xdg-utils")
# Only the setting that runs pages' scripts needs a browser.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "chromium")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
