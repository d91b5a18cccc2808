#pragma once

#include "platform/result.h"
#include "platform/settings.h"

#include <QString>
#include <array>
#include <functional>

// What the options dialog edits, as its controls show it, and how OK turns it
// into settings: trimmed where the user's blanks mean nothing, the open-rule
// list ending in a comma, an emptied Internet program back to its protocol.
struct OptionsValues {
    // General
    int openMethod = 1; // the chosen one of the three open rules
    QString openExclude;
    bool confirmExt = true;
    bool saveWindowState = false;
    bool autoLoadProject = false;
    // Document
    QString fontName;
    QString fontSize; // as the dialog shows it
    QString extensions;
    QString tabs;
    qint32 backColor = Settings::SystemWindowBackground;
    bool wordWrap = true;
    bool add2RecentDoc = false;
    bool add2RecentPrj = false;
    // Tree view
    bool treeDelMethod = false; // true: delete permanently
    bool treeSync = false;
    // Quotes, text blocks, auto-complete, notes
    bool autoCopy = false;
    QString quoteFile;
    QString textBlocks;
    bool autoCompleteAtStartup = true;
    QString autoTagFile;
    QString autoHotKey;
    QString notesFile;
    qint32 padBackColor = Settings::SystemWindowBackground;
    // Internet: e-mail, news, secure news, FTP
    std::array<QString, 4> internetApps;

    static const std::array<SettingKey, 4> InternetKeys;
    // The last step of applying: the store goes to disk.
    static constexpr int LastStep = 14;

    static OptionsValues fromSettings(const Settings& settings);

    // Writes every value, in the order OK applies them; afterStep(n) runs after
    // step n (1 to 14), where the program makes the new values take effect.
    void applyTo(Settings& settings, const std::function<void(int step)>& afterStep = {}) const;

    // "10" for 10 points, "10.5" for ten and a half.
    static QString fontSizeText(double size);
    // The size a shown text stands for: its leading number, 0 for none.
    static double fontSizeValue(const QString& shown);
    static QString openExcludeList(const QString& text);
    static QString internetApp(const QString& text, const SettingKey& key);

    // What the tab stops box keeps of a typed or pasted text: digits, blanks and commas.
    static QString tabStopCharacters(const QString& text);
    // What the hot keys box keeps: any character but blanks, commas and control codes.
    static QString hotKeyCharacters(const QString& text);

    // Puts the store on disk; the error's message says what went wrong.
    static Status save(SettingsStore& store);
};
