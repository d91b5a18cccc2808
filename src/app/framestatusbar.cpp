#include "framestatusbar.h"

#include "platform/lockkeys.h"

#include <QApplication>
#include <QDateTime>
#include <QLabel>
#include <QLocale>
#include <QTextEdit>

FrameStatusBar::FrameStatusBar(QWidget* parent) : QStatusBar(parent)
{
    setObjectName(QStringLiteral("StatusBar1"));
    for (const QString& key : PanelKeys) {
        auto* label = new QLabel(this);
        label->setObjectName(key);
        label->setContentsMargins(6, 0, 6, 0);
        m_panels.insert(key, label);
        // The date (or a button's description) takes the spare room; the font
        // panel keeps room for a name and a size.
        const bool stretches = key == QStringLiteral("stsDate");
        // A long message is cut at the window's edge, not a reason for the window to grow;
        // the tip shows it whole.
        if (stretches)
            label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        if (key == QStringLiteral("stsFont"))
            label->setMinimumWidth(label->fontMetrics().horizontalAdvance(u'M') * 14);
        addPermanentWidget(label, stretches ? 1 : 0);
    }
    m_panels.value(QStringLiteral("stsCaps"))->setText(QStringLiteral("CAPS"));
    m_panels.value(QStringLiteral("stsNum"))->setText(QStringLiteral("NUM"));
    m_panels.value(QStringLiteral("stsInsert"))->setText(QStringLiteral("INS"));
    m_panels.value(QStringLiteral("stsScroll"))->setText(QStringLiteral("SCRL"));
    m_clock.setInterval(1000);
    connect(&m_clock, &QTimer::timeout, this, &FrameStatusBar::refresh);
    m_clock.start();
    refresh();
}

void FrameStatusBar::showDate()
{
    m_showingDate = true;
    refresh();
}

void FrameStatusBar::showText(const QString& text)
{
    m_showingDate = false;
    QLabel* date = m_panels.value(QStringLiteral("stsDate"));
    if (date->text() != text)
        date->setText(text);
    date->setToolTip(text);
}

void FrameStatusBar::refresh()
{
    const QDateTime now = QDateTime::currentDateTime();
    const QLocale locale;
    if (m_showingDate) {
        QLabel* date = m_panels.value(QStringLiteral("stsDate"));
        date->setText(locale.toString(now.date(), QLocale::ShortFormat));
        date->setToolTip(QString());
    }
    m_panels.value(QStringLiteral("stsTime"))
        ->setText(locale.toString(now.time(), QLocale::ShortFormat));
    // A key that is off shows its name greyed out, as a status bar's key panels do.
    // The insert panel follows whichever text control has the focus.
    if (const auto* edit = qobject_cast<const QTextEdit*>(QApplication::focusWidget()))
        m_overwrite = edit->overwriteMode();
    const LockKeys keys = LockKeys::current();
    m_panels.value(QStringLiteral("stsCaps"))->setEnabled(keys.caps);
    m_panels.value(QStringLiteral("stsNum"))->setEnabled(keys.num);
    m_panels.value(QStringLiteral("stsScroll"))->setEnabled(keys.scroll);
    m_panels.value(QStringLiteral("stsInsert"))->setEnabled(!m_overwrite);
}
