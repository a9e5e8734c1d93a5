# Where `cmake --install` puts the programs, the menu entry, the icons, the
# AppStream metadata, the man pages, the bash completion and the docs, and the
# Debian package that CPack makes of them.
include(GNUInstallDirs)

set(KAVREL_APP_ID io.github.kavrel.Kavrel)
set(doc_dir ${CMAKE_INSTALL_DATAROOTDIR}/doc/kavrel)
set(data ${PROJECT_SOURCE_DIR}/data)

install(TARGETS kavrel-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(KAVREL_BUILD_UI)
  install(TARGETS kavrel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${data}/${KAVREL_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${data}/icons/${KAVREL_APP_ID}.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  foreach(size 48 256)
    install(FILES ${data}/icons/${KAVREL_APP_ID}-${size}.png
      DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME ${KAVREL_APP_ID}.png)
  endforeach()
  configure_file(${data}/${KAVREL_APP_ID}.metainfo.xml ${KAVREL_GENERATED_DIR}/${KAVREL_APP_ID}.metainfo.xml @ONLY)
  install(FILES ${KAVREL_GENERATED_DIR}/${KAVREL_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()

# Man pages, compressed as Debian wants them.
set(man_dir ${PROJECT_BINARY_DIR}/src/cli)
foreach(page kavrel.1 kavrel-cli.1)
  add_custom_command(OUTPUT ${man_dir}/${page}.gz
    COMMAND gzip -n -9 -c ${man_dir}/${page} > ${man_dir}/${page}.gz
    DEPENDS ${man_dir}/${page} kavrel_man_pages)
  list(APPEND compressed ${man_dir}/${page}.gz)
endforeach()
add_custom_command(OUTPUT ${KAVREL_GENERATED_DIR}/changelog.gz
  COMMAND gzip -n -9 -c ${data}/debian/changelog > ${KAVREL_GENERATED_DIR}/changelog.gz
  DEPENDS ${data}/debian/changelog)
add_custom_target(kavrel_compressed ALL DEPENDS ${compressed} ${KAVREL_GENERATED_DIR}/changelog.gz)
install(FILES ${compressed} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

install(FILES ${data}/kavrel-cli.bash DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
  RENAME kavrel-cli)

install(FILES ${PROJECT_SOURCE_DIR}/README.md ${data}/debian/copyright ${KAVREL_GENERATED_DIR}/changelog.gz
  DESTINATION ${doc_dir})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/ DESTINATION ${doc_dir}/docs
  FILES_MATCHING PATTERN "*.md" PATTERN "*.png")

set(CPACK_PACKAGE_NAME kavrel)
set(CPACK_PACKAGE_VENDOR "Kavrel developers")
set(CPACK_PACKAGE_CONTACT "Kavrel developers <kavrel@kavrel.github.io>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "reader for captured dial-up forum logs")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Kavrel reads the session logs captured from dial-up forum services (nets):
it lists each board's titles as threads, shows the articles, keeps where
reading stopped, prepares writes for the next session and searches every log
at once. kavrel-cli does the same from scripts.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://kavrel.github.io/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_GENERATOR DEB)
include(CPack)
