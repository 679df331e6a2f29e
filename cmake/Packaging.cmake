# What `cmake --install` adds besides the executable, desktop entry and icons (those are
# installed in src/), and the Debian package that `cpack -G DEB` builds from the same install:
# build/zemra_<version>_<arch>.deb, its Depends computed from the executable by
# dpkg-shlibdeps.

# The man page and the AppStream metainfo carry the project version.
configure_file(${PROJECT_SOURCE_DIR}/resources/zemra.1 ${PROJECT_BINARY_DIR}/zemra.1 @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/resources/zemra.metainfo.xml.in
    ${PROJECT_BINARY_DIR}/example.quenlow.zemra.metainfo.xml @ONLY)
# Man pages are installed compressed; -n leaves the time stamp out, so the file only changes
# with its content.
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/zemra.1.gz
    COMMAND gzip -9 -n -c ${PROJECT_BINARY_DIR}/zemra.1 > ${PROJECT_BINARY_DIR}/zemra.1.gz
    DEPENDS ${PROJECT_BINARY_DIR}/zemra.1
    VERBATIM)
add_custom_target(zemra_man_page ALL DEPENDS ${PROJECT_BINARY_DIR}/zemra.1.gz)

install(FILES ${PROJECT_BINARY_DIR}/zemra.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_BINARY_DIR}/example.quenlow.zemra.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zemra)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Quenlow)
set(CPACK_PACKAGE_CONTACT "Zemra Developers <dev@quenlow.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "measure the size of a file or folder tree and write a run log")
set(CPACK_PACKAGE_DESCRIPTION
    "Zemra-Gauge measures the size of one file or one folder tree and shows it in six
decimal units, from bytes to petabytes. Every run writes a short run log to a log
file. With AutoStart and AutoClose ticked one launch measures, writes the log and
closes again, which makes it easy to schedule, also without a graphical session.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.quenlow.example/zemra/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's Wayland platform plugin is loaded at run time, so shlibdeps cannot see it; X11 and the
# offscreen platform come with the Qt GUI library itself.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS qt6-wayland)
include(CPack)
