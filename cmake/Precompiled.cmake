# Qt's headers are most of what a file costs to compile, so each library parses the
# ones used most once, and the programs, tests and benchmarks built on it reuse that.
# The core's set holds no widgets, so the core's include check still means something.
# -DCMAKE_DISABLE_PRECOMPILE_HEADERS=ON builds without them, to find a missing include.
set(QUILLORA_CORE_PRECOMPILED
    <QByteArray> <QCoreApplication> <QDateTime> <QDir> <QElapsedTimer> <QFile>
    <QFileInfo> <QHash> <QList> <QLocale> <QObject> <QPointer> <QRegularExpression>
    <QSet> <QString> <QStringList> <QTimer> <QUrl>
    <QColor> <QFont> <QTextBlock> <QTextCursor> <QTextDocument> <QTextFormat>)
set(QUILLORA_UI_PRECOMPILED ${QUILLORA_CORE_PRECOMPILED}
    <QAction> <QApplication> <QCheckBox> <QComboBox> <QDialog> <QHBoxLayout> <QKeyEvent>
    <QLabel> <QLineEdit> <QMdiArea> <QMenu> <QPushButton> <QTextEdit> <QVBoxLayout>
    <QWidget>)

# A program, test or benchmark reuses the headers of the richest library it links. Its
# generated moc file is mostly empty (a test includes its own), and loading the headers
# would cost it more than all of its compiling.
function(quillora_reuse_precompiled target)
    get_target_property(libraries ${target} LINK_LIBRARIES)
    if(quillora_ui IN_LIST libraries OR quillora_test_support IN_LIST libraries)
        target_precompile_headers(${target} REUSE_FROM quillora_ui)
    else()
        target_precompile_headers(${target} REUSE_FROM quillora_core)
    endif()
    set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/${target}_autogen/mocs_compilation.cpp
        PROPERTIES SKIP_PRECOMPILE_HEADERS ON)
endfunction()

# A precompiled header the compiler turns down costs the time it was meant to save: say so.
# GIO's flags build the UI library with -pthread, so whatever reuses its headers needs it too.
add_compile_options(-Winvalid-pch -pthread)
