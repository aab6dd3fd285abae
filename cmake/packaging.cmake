# Installing like any other desktop program, and a Debian package.
include(GNUInstallDirs)

install(TARGETS tessiva tessiva-batch RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES resources/tessiva.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES resources/tessiva-16.xpm DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/16x16/apps
        RENAME tessiva.xpm)
install(FILES resources/tessiva-32.xpm DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/32x32/apps
        RENAME tessiva.xpm)
install(FILES resources/tessiva.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES resources/tessiva-32.xpm DESTINATION ${CMAKE_INSTALL_DATADIR}/pixmaps RENAME tessiva.xpm)
install(FILES resources/jp.co.morvane.tessiva.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# The users' pages; the developers' (architecture, development,
# performance) stay in the source.
install(FILES README.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tessiva)
set(tessiva_user_docs batch-file paths saving settings tessiva-batch windows behaviour-changes)
list(TRANSFORM tessiva_user_docs PREPEND ${PROJECT_SOURCE_DIR}/docs/)
list(TRANSFORM tessiva_user_docs APPEND .md)
install(FILES ${tessiva_user_docs} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tessiva/docs)

# The manual pages and the changelog, compressed as Debian keeps them: the
# English pages, and their Japanese translations under man/ja.
set(compressed)
foreach(page tessiva.1 tessiva-batch.1 ja/tessiva.1 ja/tessiva-batch.1)
    get_filename_component(language "${page}" DIRECTORY)
    set(gz ${CMAKE_CURRENT_BINARY_DIR}/man/${page}.gz)
    add_custom_command(OUTPUT ${gz}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/man/${language}
        COMMAND gzip -9n -c ${CMAKE_CURRENT_SOURCE_DIR}/docs/${page} > ${gz}
        DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/docs/${page}
        VERBATIM)
    install(FILES ${gz} DESTINATION ${CMAKE_INSTALL_MANDIR}/${language}/man1)
    list(APPEND compressed ${gz})
endforeach()
add_custom_command(OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz
    COMMAND gzip -9n -c ${CMAKE_CURRENT_SOURCE_DIR}/packaging/changelog > ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz
    DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/packaging/changelog
    VERBATIM)
list(APPEND compressed ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz)
add_custom_target(tessiva_manpage ALL DEPENDS ${compressed})
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz packaging/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tessiva)

set(CPACK_PACKAGE_NAME tessiva)
set(CPACK_PACKAGE_VENDOR "Morvane")
set(CPACK_PACKAGE_CONTACT "Tessiva developers <tessiva-dev@morvane.co.jp>")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Prepares batch files that down-convert DXF drawings with DXFIX")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic, qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
# The synopsis is the summary; this is the text below it.
set(CPACK_PACKAGE_DESCRIPTION
    "Tessiva writes a DOS batch file (code page 932) that runs AutoCAD's\nDXFIX.EXE once for every chosen DXF drawing. It comes with a window\n(tessiva) and a command-line tool (tessiva-batch).")
include(CPack)
