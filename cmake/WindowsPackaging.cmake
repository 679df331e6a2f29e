# The Windows counterpart of Packaging.cmake: `cmake --install` lays out a folder that runs as
# it is (zemra.exe, the Qt libraries and plugins it loads, the MinGW runtime, side by side),
# and `cpack` packs that folder twice: an NSIS installer, zemra-<version>-win64.exe, with a
# Start-menu entry and an uninstaller, and zemra-<version>-win64.zip.

# Qt: the libraries (Sql for the size history, Charts and the OpenGL ones it links for its
# chart), the platform plugins (windows for the desktop, offscreen for --headless
# and for launches without a desktop), the native widget style and the SQLite driver. Qt finds the plugins in
# the program's own folder.
install(FILES $<TARGET_FILE:Qt6::Core> $<TARGET_FILE:Qt6::Gui> $<TARGET_FILE:Qt6::Widgets>
    $<TARGET_FILE:Qt6::Sql> $<TARGET_FILE:Qt6::Charts> $<TARGET_FILE:Qt6::OpenGL>
    $<TARGET_FILE:Qt6::OpenGLWidgets>
    DESTINATION ${CMAKE_INSTALL_BINDIR})
# The size history's database driver.
install(FILES $<TARGET_FILE:Qt6::QSQLiteDriverPlugin> DESTINATION ${CMAKE_INSTALL_BINDIR}/sqldrivers)
install(FILES $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin>
    $<TARGET_FILE:Qt6::QOffscreenIntegrationPlugin>
    DESTINATION ${CMAKE_INSTALL_BINDIR}/platforms)
install(FILES $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin>
    DESTINATION ${CMAKE_INSTALL_BINDIR}/styles)

# The MinGW-w64 runtime that the program and Qt link: the C++ library, GCC's support library
# and the POSIX threads that the -posix compilers use.
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
        OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${path}" OR NOT EXISTS "${path}")
        message(FATAL_ERROR "${CMAKE_CXX_COMPILER} does not know where ${dll} is")
    endif()
    install(FILES ${path} DESTINATION ${CMAKE_INSTALL_BINDIR})
    list(APPEND ZEMRA_RUNTIME_DLLS ${dll})
endforeach()
# `cmake --install --strip` (and cpack) strips only what install(TARGETS) installs; Debian's
# MinGW runtime comes with its symbols, twenty megabytes of them.
install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
        foreach(dll ${ZEMRA_RUNTIME_DLLS})
            execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-unneeded
                \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/\${dll}\"
                COMMAND_ERROR_IS_FATAL ANY)
        endforeach()
    endif()")

set(CPACK_GENERATOR NSIS ZIP)
set(CPACK_PACKAGE_NAME zemra)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Quenlow)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Measures the size of a file or folder tree and writes a run log")
set(CPACK_PACKAGE_FILE_NAME zemra-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY Zemra-Gauge)
# The Start-menu entry: zemra.exe under the product's name.
set(CPACK_PACKAGE_EXECUTABLES zemra Zemra-Gauge)
set(CPACK_STRIP_FILES ON)

# A 64-bit installer for a 64-bit program: makensis builds 32-bit ones unless told.
set(CPACK_NSIS_DEFINES "  Target amd64-unicode")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
set(CPACK_NSIS_PACKAGE_NAME Zemra-Gauge)
set(CPACK_NSIS_DISPLAY_NAME Zemra-Gauge)
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/resources/zemra.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/resources/zemra.ico)
# The icon of the entry in Apps & features: the program's own.
set(CPACK_NSIS_INSTALLED_ICON_NAME zemra.exe)
set(CPACK_NSIS_URL_INFO_ABOUT https://www.quenlow.example/zemra/)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_IGNORE_LICENSE_PAGE ON)
set(CPACK_NSIS_MANIFEST_DPI_AWARE ON)
include(CPack)
