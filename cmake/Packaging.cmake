# What `cmake --install` adds besides the executable, desktop entry and icons (those are
# installed in src/), and the Debian package that `cpack -G DEB` builds from the same install:
# build/zemra_<version>_<arch>.deb, its Depends computed from the executable by
# dpkg-shlibdeps. The package follows Debian's policy as lintian checks it: the copyright in
# the machine-readable format and a changelog in /usr/share/doc/zemra, description lines of
# at most 80 characters, and an executable linked with -z now and stripped of the sections
# Debian strips (both set in src/).

# The man page and the AppStream metainfo carry the project version.
configure_file(${PROJECT_SOURCE_DIR}/resources/zemra.1 ${PROJECT_BINARY_DIR}/zemra.1 @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/resources/zemra.metainfo.xml.in
    ${PROJECT_BINARY_DIR}/example.quenlow.zemra.metainfo.xml @ONLY)
# Man pages and documents are installed compressed, as Debian does; -n leaves the time stamp
# out, so a file only changes with its content.
function(zemra_gzip source output)
    add_custom_command(OUTPUT ${output}
        COMMAND gzip -9 -n -c ${source} > ${output}
        DEPENDS ${source}
        VERBATIM)
endfunction()
zemra_gzip(${PROJECT_BINARY_DIR}/zemra.1 ${PROJECT_BINARY_DIR}/zemra.1.gz)
zemra_gzip(${PROJECT_SOURCE_DIR}/resources/changelog ${PROJECT_BINARY_DIR}/changelog.gz)
zemra_gzip(${PROJECT_SOURCE_DIR}/README.md ${PROJECT_BINARY_DIR}/README.md.gz)
add_custom_target(zemra_man_page ALL DEPENDS ${PROJECT_BINARY_DIR}/zemra.1.gz)
add_custom_target(zemra_documents ALL
    DEPENDS ${PROJECT_BINARY_DIR}/changelog.gz ${PROJECT_BINARY_DIR}/README.md.gz)

install(FILES ${PROJECT_BINARY_DIR}/zemra.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_BINARY_DIR}/example.quenlow.zemra.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# /usr/share/doc/zemra: the copyright, the changelog (Debian's format; its top entry is the
# project version), the README, and in examples/ the scheduling examples uncompressed, ready
# to copy: the systemd units and whatever docs/examples holds.
install(FILES ${PROJECT_SOURCE_DIR}/resources/copyright ${PROJECT_BINARY_DIR}/changelog.gz
    ${PROJECT_BINARY_DIR}/README.md.gz
    DESTINATION ${CMAKE_INSTALL_DOCDIR})
set(ZEMRA_SYSTEMD_UNITS ${PROJECT_SOURCE_DIR}/docs/systemd/zemra.service
    ${PROJECT_SOURCE_DIR}/docs/systemd/zemra.timer)
install(FILES ${ZEMRA_SYSTEMD_UNITS} DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)
if(EXISTS ${PROJECT_SOURCE_DIR}/docs/examples)
    install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/examples/
        DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)
endif()

# lintian's verdicts on this package that are known to be wrong, each with its reason.
install(FILES ${PROJECT_SOURCE_DIR}/resources/zemra.lintian-overrides
    DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME zemra)

# The systemd user units, where systemd looks for a user's units (/usr/lib/systemd/user in the
# package), so that `systemctl --user enable --now zemra.timer` needs no copy. Nothing enables
# them on installation.
install(FILES ${ZEMRA_SYSTEMD_UNITS} DESTINATION lib/systemd/user)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zemra)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Quenlow)
set(CPACK_PACKAGE_CONTACT "Zemra Developers <dev@quenlow.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "measure the size of a file or folder tree and write a run log")
# Each line becomes a line of the control file's Description, indented by one space: at most
# 79 characters here.
set(CPACK_PACKAGE_DESCRIPTION
    "Zemra-Gauge measures the size of one file or one folder tree and shows it in
six decimal units, from bytes to petabytes. Every run writes a short run log to
a log file. With AutoStart and AutoClose ticked one launch measures, writes the
log and closes again, which makes it easy to schedule, also without a graphical
session.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.quenlow.example/zemra/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The size history's SQLite driver is a Qt SQL plugin, loaded at run time: shlibdeps cannot
# see it either, and without it no run is recorded.
set(CPACK_DEBIAN_PACKAGE_DEPENDS libqt6sql6-sqlite)
# Qt's Wayland platform plugin is loaded at run time, so shlibdeps cannot see it; X11 and the
# offscreen platform come with the Qt GUI library itself.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS qt6-wayland)
include(CPack)
