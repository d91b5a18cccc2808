# Installs the build into a scratch prefix and checks that every file a desktop
# needs lands where the freedesktop standards look for it.
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
    RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
foreach(path
        bin/quillora
        bin/quillora-convert
        share/applications/org.quillora.Quillora.desktop
        share/metainfo/org.quillora.Quillora.metainfo.xml
        share/icons/hicolor/scalable/apps/quillora.svg
        share/mime/packages/quillora.xml
        "share/quillora/Welcome.rtf"
        "share/quillora/Quillora readme.txt"
        "share/quillora/Quillora on the Web!.html"
        share/quillora/Templates/HTMTemplate.htm
        share/quillora/Templates/LetterTemplate.rtf
        share/quillora/Templates/Quotes.txt
        share/quillora/Templates/Notes.rtf
        "share/quillora/Templates/Often Used Text Blocks.txt"
        share/quillora/Templates/AutoComplete.txt
        share/quillora/help/index.html
        share/quillora/help/options.html
        share/quillora/help/htmlref.html)
    if(NOT EXISTS ${PREFIX}/${path})
        message(FATAL_ERROR "not installed: ${path}")
    endif()
endforeach()
find_program(UPDATE_MIME update-mime-database)
if(UPDATE_MIME)
    execute_process(COMMAND ${UPDATE_MIME} ${PREFIX}/share/mime RESULT_VARIABLE result)
    file(READ ${PREFIX}/share/mime/globs2 globs)
    if(NOT result EQUAL 0 OR NOT globs MATCHES "application/x-quillora-project:\\*\\.prj")
        message(FATAL_ERROR "the project file type is not registered for *.prj")
    endif()
endif()
