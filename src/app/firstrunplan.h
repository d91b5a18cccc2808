#pragma once

#include "platform/settings.h"

#include <QList>
#include <QString>
#include <QStringList>

// What a first start puts into the user's data folder F: the installed sample
// files it lacks, the welcome and templates projects, and the four settings
// that point the panes and auto-completion at the data files.
class FirstRunPlan {
public:
    static inline const QString TemplatesFolder = QStringLiteral("Templates");
    static inline const QString WelcomeProject = QStringLiteral("Welcome.prj");
    static inline const QString TemplatesProject = QStringLiteral("Templates.prj");
    static inline const QString WelcomeDocument = QStringLiteral("Welcome.rtf");
    static inline const QString Readme = QStringLiteral("Quillora readme.txt");
    static inline const QString WebPage = QStringLiteral("Quillora on the Web!.html");
    static inline const QString HtmlTemplate = QStringLiteral("HTMTemplate.htm");
    static inline const QString LetterTemplate = QStringLiteral("LetterTemplate.rtf");
    static inline const QString QuotesFile = QStringLiteral("Quotes.txt");
    static inline const QString NotesFile = QStringLiteral("Notes.rtf");
    static inline const QString TextBlocksFile = QStringLiteral("Often Used Text Blocks.txt");
    static inline const QString AutoCompleteFile = QStringLiteral("AutoComplete.txt");
    // The record that the program has started before, in "General"; it is
    // written last, once everything else is in place.
    static constexpr SettingKey FirstStartDone{"FirstStartDone", SettingKey::Type::Boolean,
                                               "False"};

    struct Copy {
        QString from;
        QString to;
        bool operator==(const Copy& other) const = default;
    };
    struct Setting {
        SettingKey key;
        QString value;
    };

    // The sample files, relative to the installed tree and to F alike.
    static QStringList sampleFiles();
    // Every sample file the installed tree has and F lacks. Anything already
    // in F (a user's own notes, quotes or text blocks) is theirs and stays.
    static QList<Copy> copies(const QString& installed, const QString& user);
    // The lines of F/Welcome.prj: F and its templates as folders, the web page
    // as a read-only shortcut, then the readme and the welcome document.
    static QStringList welcomeLines(const QString& user);
    // The lines of F/Templates/Templates.prj: the folder and its two templates.
    static QStringList templatesLines(const QString& user);
    static QString templatesFolder(const QString& user);
    // "QuoteFile", "NotesFile", "TextBlocks" and "AutoTagFile" into F/Templates.
    static QList<Setting> settings(const QString& user);
};
