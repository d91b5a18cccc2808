#include "settings.h"

#include "settingvalue.h"

#include <QGuiApplication>
#include <QPalette>

QString Settings::raw(const SettingKey& key) const
{
    return m_store.read(General, QString::fromLatin1(key.name),
                        QString::fromLatin1(key.defaultText));
}

QString Settings::text(const SettingKey& key) const
{
    return raw(key);
}

bool Settings::boolean(const SettingKey& key) const
{
    return SettingValue::toBoolean(raw(key)).value_or(
        *SettingValue::toBoolean(QString::fromLatin1(key.defaultText)));
}

qint16 Settings::integer(const SettingKey& key) const
{
    return SettingValue::toInteger(raw(key)).value_or(
        SettingValue::toInteger(QString::fromLatin1(key.defaultText)).value_or(0));
}

qint32 Settings::longValue(const SettingKey& key) const
{
    return SettingValue::toLong(raw(key)).value_or(
        SettingValue::toLong(QString::fromLatin1(key.defaultText)).value_or(0));
}

float Settings::number(const SettingKey& key) const
{
    return SettingValue::toNumber(raw(key)).value_or(
        SettingValue::toNumber(QString::fromLatin1(key.defaultText)).value_or(0));
}

void Settings::setText(const SettingKey& key, const QString& value)
{
    m_store.write(General, QString::fromLatin1(key.name), value);
}

void Settings::setBoolean(const SettingKey& key, bool value)
{
    setText(key, SettingValue::fromBoolean(value));
}

void Settings::setInteger(const SettingKey& key, qint64 value)
{
    setText(key, QString::number(value));
}

void Settings::setNumber(const SettingKey& key, double value)
{
    setText(key, SettingValue::fromNumber(value));
}

QString Settings::fontName() const
{
    return SettingValue::splitAtFirstComma(text(Key::Font)).first;
}

double Settings::fontSize() const
{
    return SettingValue::leadingNumber(SettingValue::splitAtFirstComma(text(Key::Font)).second);
}

QSize Settings::padSizeTwips() const
{
    const auto [width, height] = SettingValue::splitAtFirstComma(text(Key::MyPadSize));
    return QSize(int(SettingValue::leadingNumber(width)), int(SettingValue::leadingNumber(height)));
}

int Settings::paneWidthTwips() const
{
    return qMax(MinimumPaneWidth, int(number(Key::Pic1Width)));
}

QColor Settings::colorFromStored(qint32 stored)
{
    const quint32 value = static_cast<quint32>(stored);
    if (value & 0x80000000u) {
        // System colour codes: the few that stored colours use, taken from the palette.
        const QPalette palette = QGuiApplication::palette();
        switch (value & 0xFF) {
        case 5:
            return palette.color(QPalette::Base); // window background
        case 8:
            return palette.color(QPalette::Text); // window text
        case 15:
            return palette.color(QPalette::Button); // button face
        case 18:
            return palette.color(QPalette::ButtonText); // button text
        case 13:
            return palette.color(QPalette::Highlight); // highlight
        case 14:
            return palette.color(QPalette::HighlightedText);
        default:
            return palette.color(QPalette::Window);
        }
    }
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

qint32 Settings::storedFromColor(const QColor& color)
{
    return qint32(color.red() | (color.green() << 8) | (color.blue() << 16));
}
