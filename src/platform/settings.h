#pragma once

#include "platform/settingsstore.h"

#include <QColor>
#include <QFont>
#include <QSize>
#include <QString>

// One key of the store with its type and default, as the editor reads it.
struct SettingKey {
    enum class Type { Boolean, Integer, Long, Number, Text };
    const char* name;
    Type type;
    const char* defaultText;
};

namespace Key {
using T = SettingKey::Type;
inline constexpr SettingKey Extensions{"Extensions", T::Text, ""};
inline constexpr SettingKey Font{"Font", T::Text, "Courier New,10"};
inline constexpr SettingKey Tabs{"Tabs", T::Text, ""};
inline constexpr SettingKey RtbBackColor{"rtbBackColor", T::Long, "-2147483643"};
inline constexpr SettingKey RtbPadBackColor{"rtbPadBackColor", T::Long, "-2147483643"};
inline constexpr SettingKey AutoCopy{"AutoCopy", T::Boolean, "False"};
inline constexpr SettingKey WordWrap{"WordWrap", T::Boolean, "True"};
inline constexpr SettingKey SaveWindowState{"SaveWindowState", T::Boolean, "False"};
inline constexpr SettingKey WindowSize{"WindowSize", T::Text, ""};
inline constexpr SettingKey SaveArrange{"SaveArrange", T::Integer, "-1"};
inline constexpr SettingKey QuotesState{"QuotesState", T::Integer, "-1"};
inline constexpr SettingKey TextState{"TextState", T::Integer, "-1"};
inline constexpr SettingKey TextBlocksState{"TextBlocksState", T::Integer, "-1"};
inline constexpr SettingKey MyPadState{"MyPadState", T::Integer, "-1"};
inline constexpr SettingKey MyPadSize{"MyPadSize", T::Text, "6780,4230"};
inline constexpr SettingKey Pic1Width{"Pic1Width", T::Number, "2295"};
inline constexpr SettingKey TreeDelMethod{"TreeDelMethod", T::Boolean, "False"};
inline constexpr SettingKey OpenMethod{"OpenMethod", T::Integer, "1"};
inline constexpr SettingKey ConfirmExt{"ConfirmExt", T::Boolean, "True"};
inline constexpr SettingKey OpenExclude{
    "OpenExclude", T::Text, ".txt, .bat, .htm, .html, .js, .rtf, .xml, .h, .css, .csv,"};
inline constexpr SettingKey Add2RecentPrj{"Add2RecentPrj", T::Boolean, "False"};
inline constexpr SettingKey Add2RecentDoc{"Add2RecentDoc", T::Boolean, "False"};
inline constexpr SettingKey ToolBarStyle{"ToolBarStyle", T::Integer, "1"};
inline constexpr SettingKey ListFontSize{"ListFontSize", T::Number, "10"};
inline constexpr SettingKey EmailApp{"EmailApp", T::Text, "mailto:"};
inline constexpr SettingKey NewsApp{"NewsApp", T::Text, "news://"};
inline constexpr SettingKey SNewsApp{"SNewsApp", T::Text, "snews://"};
inline constexpr SettingKey FTPApp{"FTPApp", T::Text, "FTP://"};
inline constexpr SettingKey LastDir{"LastDir", T::Text, ""};
inline constexpr SettingKey ToolbarVersion{"ToolbarVersion", T::Integer, "0"};
inline constexpr SettingKey PlusImage{"PlusImage", T::Integer, "14"};
inline constexpr SettingKey AutoTagFile{"AutoTagFile", T::Text, ""};
inline constexpr SettingKey AutoCompleteAtStartup{"AutoCompleteAtStartup", T::Boolean, "True"};
inline constexpr SettingKey AutoHotKey{"AutoHotKey", T::Text, "<&"};
inline constexpr SettingKey TreeSync{"TreeSync", T::Boolean, "False"};
inline constexpr SettingKey TextBlocks{"TextBlocks", T::Text, ""};
inline constexpr SettingKey QuoteFile{"QuoteFile", T::Text, ""};
inline constexpr SettingKey NotesFile{"NotesFile", T::Text, ""};
inline constexpr SettingKey AutoLoadProject{"AutoLoadProject", T::Boolean, "False"};
inline constexpr SettingKey MostRecent{"Most Recent", T::Integer, "0"};
} // namespace Key

namespace Key {
// The stored default of a number key, read at compile time.
constexpr int defaultNumber(const SettingKey& key)
{
    int value = 0;
    for (const char* c = key.defaultText; *c >= '0' && *c <= '9'; ++c)
        value = value * 10 + (*c - '0');
    return value;
}
} // namespace Key

// The settings of sections "General" and "Recent Files", typed. A value that
// is absent, or cannot be read as its key's type, gives the key's default.
class Settings {
public:
    static inline const QString General = QStringLiteral("General");
    static inline const QString RecentFiles = QStringLiteral("Recent Files");
    // The stored colour code of the system's window background.
    static constexpr qint32 SystemWindowBackground = static_cast<qint32>(0x80000005);
    // The left pane is never narrower than its stored default (twips).
    static constexpr int MinimumPaneWidth = Key::defaultNumber(Key::Pic1Width);

    explicit Settings(SettingsStore& store) : m_store(store) {}

    QString text(const SettingKey& key) const;
    bool boolean(const SettingKey& key) const;
    qint16 integer(const SettingKey& key) const;
    qint32 longValue(const SettingKey& key) const;
    float number(const SettingKey& key) const;

    void setText(const SettingKey& key, const QString& value);
    void setBoolean(const SettingKey& key, bool value);
    void setInteger(const SettingKey& key, qint64 value);
    void setNumber(const SettingKey& key, double value);

    // "Font" split into name and size; "MyPadSize" into width and height (twips).
    QString fontName() const;
    double fontSize() const;
    QSize padSizeTwips() const;
    int paneWidthTwips() const;

    SettingsStore& store() { return m_store; }
    const SettingsStore& store() const { return m_store; }

    // A stored colour (0x00BBGGRR, or a system colour code) as the palette shows it.
    static QColor colorFromStored(qint32 stored);
    static qint32 storedFromColor(const QColor& color);

private:
    QString raw(const SettingKey& key) const;
    SettingsStore& m_store;
};
