#include "optionsvalues.h"

#include "settingvalue.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

const std::array<SettingKey, 4> OptionsValues::InternetKeys = {Key::EmailApp, Key::NewsApp,
                                                               Key::SNewsApp, Key::FTPApp};

OptionsValues OptionsValues::fromSettings(const Settings& settings)
{
    OptionsValues v;
    v.openMethod = settings.integer(Key::OpenMethod);
    v.openExclude = settings.text(Key::OpenExclude);
    v.confirmExt = settings.boolean(Key::ConfirmExt);
    v.saveWindowState = settings.boolean(Key::SaveWindowState);
    v.autoLoadProject = settings.boolean(Key::AutoLoadProject);
    v.fontName = settings.fontName();
    v.fontSize = fontSizeText(settings.fontSize());
    v.extensions = settings.text(Key::Extensions);
    v.tabs = settings.text(Key::Tabs);
    v.backColor = settings.longValue(Key::RtbBackColor);
    v.wordWrap = settings.boolean(Key::WordWrap);
    v.add2RecentDoc = settings.boolean(Key::Add2RecentDoc);
    v.add2RecentPrj = settings.boolean(Key::Add2RecentPrj);
    v.treeDelMethod = settings.boolean(Key::TreeDelMethod);
    v.treeSync = settings.boolean(Key::TreeSync);
    v.autoCopy = settings.boolean(Key::AutoCopy);
    v.quoteFile = settings.text(Key::QuoteFile);
    v.textBlocks = settings.text(Key::TextBlocks);
    v.autoCompleteAtStartup = settings.boolean(Key::AutoCompleteAtStartup);
    v.autoTagFile = settings.text(Key::AutoTagFile);
    v.autoHotKey = settings.text(Key::AutoHotKey);
    v.notesFile = settings.text(Key::NotesFile);
    v.padBackColor = settings.longValue(Key::RtbPadBackColor);
    for (std::size_t i = 0; i < InternetKeys.size(); ++i)
        v.internetApps[i] = settings.text(InternetKeys[i]);
    return v;
}

void OptionsValues::applyTo(Settings& settings, const std::function<void(int)>& afterStep) const
{
    // The program keeps its settings in the store's memory, so each value is
    // written where it takes effect: the font after the open documents were
    // refreshed, which therefore keep theirs until their properties are next applied.
    const auto done = [&afterStep](int step) {
        if (afterStep)
            afterStep(step);
    };
    settings.setBoolean(Key::AutoLoadProject, autoLoadProject);
    settings.setBoolean(Key::SaveWindowState, saveWindowState);
    done(1);
    settings.setBoolean(Key::Add2RecentPrj, add2RecentPrj);
    settings.setBoolean(Key::Add2RecentDoc, add2RecentDoc);
    done(2);
    settings.setText(Key::Tabs, tabs.trimmed());
    done(3);
    settings.setInteger(Key::RtbBackColor, backColor);
    settings.setInteger(Key::RtbPadBackColor, padBackColor);
    done(4);
    done(5);
    settings.setText(Key::Font,
                     fontName + u',' + SettingValue::fromNumber(fontSizeValue(fontSize.trimmed())));
    done(6);
    settings.setText(Key::Extensions, extensions.trimmed());
    done(7);
    settings.setInteger(Key::OpenMethod, openMethod == 0 ? 0 : openMethod == 1 ? 1 : 2);
    settings.setText(Key::OpenExclude, openExcludeList(openExclude));
    settings.setBoolean(Key::ConfirmExt, confirmExt);
    done(8);
    settings.setBoolean(Key::WordWrap, wordWrap);
    done(9);
    settings.setBoolean(Key::TreeSync, treeSync);
    settings.setBoolean(Key::TreeDelMethod, treeDelMethod);
    done(10);
    settings.setBoolean(Key::AutoCopy, autoCopy);
    settings.setText(Key::QuoteFile, quoteFile);
    settings.setText(Key::NotesFile, notesFile);
    settings.setText(Key::TextBlocks, textBlocks);
    done(11);
    settings.setBoolean(Key::AutoCompleteAtStartup, autoCompleteAtStartup);
    settings.setText(Key::AutoTagFile, autoTagFile);
    settings.setText(Key::AutoHotKey, autoHotKey);
    done(12);
    for (std::size_t i = 0; i < InternetKeys.size(); ++i)
        settings.setText(InternetKeys[i], internetApp(internetApps[i], InternetKeys[i]));
    done(13);
    done(LastStep);
}

QString OptionsValues::fontSizeText(double size)
{
    return SettingValue::fromNumber(size);
}

double OptionsValues::fontSizeValue(const QString& shown)
{
    return SettingValue::leadingNumber(shown);
}

QString OptionsValues::openExcludeList(const QString& text)
{
    QString list = text.trimmed();
    if (!list.endsWith(u','))
        list += u',';
    return list;
}

QString OptionsValues::internetApp(const QString& text, const SettingKey& key)
{
    const QString app = text.trimmed();
    return app.isEmpty() ? QString::fromLatin1(key.defaultText) : app;
}

QString OptionsValues::tabStopCharacters(const QString& text)
{
    QString kept;
    for (QChar c : text) {
        if ((c >= u'0' && c <= u'9') || c == u' ' || c == u',')
            kept += c;
    }
    return kept;
}

QString OptionsValues::hotKeyCharacters(const QString& text)
{
    QString kept;
    for (QChar c : text) {
        if (c != u' ' && c != u',' && c.category() != QChar::Other_Control)
            kept += c;
    }
    return kept;
}

Status OptionsValues::save(SettingsStore& store)
{
    if (store.sync())
        return Status();
    // The store does not say why; opening the file the same way tells the user.
    const QString path = store.filePath();
    QString reason;
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        reason = QStringLiteral("The folder of the settings file cannot be made.");
    } else {
        QFile file(path);
        reason = file.open(QIODevice::ReadWrite) ? QStringLiteral("The file cannot be written.")
                                                 : file.errorString();
    }
    return Error{ErrorCode::WriteFailed, reason};
}
