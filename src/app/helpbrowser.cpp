#include "helpbrowser.h"

#include <QFileInfo>
#include <QTextDocument>

HelpBrowser::HelpBrowser(QWidget* parent) : QTextBrowser(parent) {}

void HelpBrowser::addGeneratedPage(const QString& fileName, std::function<QString()> html)
{
    m_generatedName = fileName;
    m_generated = std::move(html);
}

QVariant HelpBrowser::loadResource(int type, const QUrl& name)
{
    if (type == QTextDocument::HtmlResource && m_generated && !m_generatedName.isEmpty() &&
        QFileInfo(name.path()).fileName() == m_generatedName)
        return m_generated();
    return QTextBrowser::loadResource(type, name);
}
