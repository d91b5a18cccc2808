#include "settingsstore.h"

#include <QFile>
#include <QIODevice>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>

namespace {

// QSettings' own INI format quotes values with commas and renames the section
// "General"; this one writes "[Section]" and "key=value" lines as they are.
QString escapeValue(const QString& value)
{
    QString out;
    out.reserve(value.size());
    for (QChar c : value) {
        if (c == u'\\')
            out += QStringLiteral("\\\\");
        else if (c == u'\n')
            out += QStringLiteral("\\n");
        else if (c == u'\r')
            out += QStringLiteral("\\r");
        else
            out += c;
    }
    return out;
}

QString unescapeValue(const QString& value)
{
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        QChar c = value[i];
        if (c == u'\\' && i + 1 < value.size()) {
            QChar next = value[++i];
            out += next == u'n' ? QChar(u'\n') : next == u'r' ? QChar(u'\r') : next;
        } else {
            out += c;
        }
    }
    return out;
}

bool readIni(QIODevice& device, QSettings::SettingsMap& map)
{
    QString section;
    const QStringList lines = QString::fromUtf8(device.readAll()).split(u'\n');
    for (QString line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(u';') || trimmed.startsWith(u'#'))
            continue;
        if (trimmed.startsWith(u'[') && trimmed.endsWith(u']')) {
            section = trimmed.mid(1, trimmed.size() - 2).trimmed();
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (equals <= 0 || section.isEmpty())
            continue;
        const QString key = line.left(equals).trimmed();
        map.insert(section + u'/' + key, unescapeValue(line.mid(equals + 1)));
    }
    return true;
}

bool writeIni(QIODevice& device, const QSettings::SettingsMap& map)
{
    // "General" first, the way users expect to find it.
    QStringList sections;
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        const QString section = it.key().section(u'/', 0, 0);
        if (!sections.contains(section))
            sections.append(section);
    }
    if (sections.removeOne(QStringLiteral("General")))
        sections.prepend(QStringLiteral("General"));

    QString text;
    for (const QString& section : sections) {
        if (!text.isEmpty())
            text += u'\n';
        text += u'[' + section + QStringLiteral("]\n");
        for (auto it = map.cbegin(); it != map.cend(); ++it) {
            if (it.key().section(u'/', 0, 0) != section)
                continue;
            text += it.key().section(u'/', 1) + u'=' + escapeValue(it.value().toString()) + u'\n';
        }
    }
    return device.write(text.toUtf8()) >= 0;
}

QSettings::Format iniFormat()
{
    static const QSettings::Format format =
        QSettings::registerFormat(QStringLiteral("ini"), readIni, writeIni);
    return format;
}

} // namespace

SettingsStore::SettingsStore() : SettingsStore(defaultFilePath()) {}

SettingsStore::SettingsStore(const QString& filePath)
    : m_settings(std::make_unique<QSettings>(filePath, iniFormat()))
{}

SettingsStore::~SettingsStore() = default;

QString SettingsStore::defaultFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Quillora/Quillora.ini");
}

QString SettingsStore::fullKey(const QString& section, const QString& key) const
{
    return section + u'/' + key;
}

QString SettingsStore::read(const QString& section, const QString& key,
                            const QString& defaultValue) const
{
    const QVariant value = m_settings->value(fullKey(section, key));
    return value.isValid() ? value.toString() : defaultValue;
}

bool SettingsStore::contains(const QString& section, const QString& key) const
{
    return m_settings->contains(fullKey(section, key));
}

void SettingsStore::write(const QString& section, const QString& key, const QString& value)
{
    m_settings->setValue(fullKey(section, key), value);
}

void SettingsStore::remove(const QString& section, const QString& key)
{
    m_settings->remove(fullKey(section, key));
}

QList<QPair<QString, QString>> SettingsStore::readSection(const QString& section) const
{
    // Keys come back sorted; the recent-file keys are numbered, so that is their order too.
    QList<QPair<QString, QString>> pairs;
    m_settings->beginGroup(section);
    const QStringList keys = m_settings->childKeys();
    for (const QString& key : keys)
        pairs.append({key, m_settings->value(key).toString()});
    m_settings->endGroup();
    return pairs;
}

bool SettingsStore::sync()
{
    m_settings->sync();
    return m_settings->status() == QSettings::NoError;
}

QString SettingsStore::filePath() const
{
    return m_settings->fileName();
}
