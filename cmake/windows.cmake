# The Windows executables: each one self-contained file (the toolkit linked
# statically with its Windows platform plugin; the C++ runtime is linked in
# for every target), with the icon, a version resource and the toolkit's
# Japanese texts.
function(tessiva_windows_executable target description)
    set(TESSIVA_ICON ${PROJECT_SOURCE_DIR}/resources/tessiva.ico)
    set(TESSIVA_NAME ${target})
    set(TESSIVA_DESCRIPTION ${description})
    configure_file(${PROJECT_SOURCE_DIR}/resources/tessiva.rc.in ${CMAKE_BINARY_DIR}/${target}.rc @ONLY)
    target_sources(${target} PRIVATE ${CMAKE_BINARY_DIR}/${target}.rc)
endfunction()

tessiva_windows_executable(tessiva "Tessiva: DXF batch conversion")
tessiva_windows_executable(tessiva-batch "Tessiva batch file writer")

# The toolkit's Japanese texts (its dialogs' buttons, say) come from the
# build machine's Qt translations, embedded: a Windows install has no
# folder of them.
set(TESSIVA_QT_TRANSLATIONS /usr/share/qt6/translations CACHE PATH "Where the build machine keeps qtbase_ja.qm")
if(EXISTS ${TESSIVA_QT_TRANSLATIONS}/qtbase_ja.qm)
    configure_file(${TESSIVA_QT_TRANSLATIONS}/qtbase_ja.qm ${CMAKE_BINARY_DIR}/i18n/qtbase_ja.qm COPYONLY)
    file(WRITE ${CMAKE_BINARY_DIR}/i18n/translations.qrc
         "<RCC><qresource prefix=\"/i18n\"><file>qtbase_ja.qm</file></qresource></RCC>\n")
    target_sources(tessiva PRIVATE ${CMAKE_BINARY_DIR}/i18n/translations.qrc)
    target_sources(tessiva-batch PRIVATE ${CMAKE_BINARY_DIR}/i18n/translations.qrc)
else()
    message(WARNING "No qtbase_ja.qm in ${TESSIVA_QT_TRANSLATIONS}: the toolkit's dialogs will speak English")
endif()
