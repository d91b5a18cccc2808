#pragma once

#include <QTextBrowser>
#include <functional>

// The help viewer's page view: pages come from the manual's folder, except the
// ones made by the program itself (the keys, from the command table).
class HelpBrowser : public QTextBrowser {
    Q_OBJECT
public:
    explicit HelpBrowser(QWidget* parent = nullptr);

    // A page the program makes rather than reads: its file name and its text.
    void addGeneratedPage(const QString& fileName, std::function<QString()> html);

    QVariant loadResource(int type, const QUrl& name) override;

private:
    QString m_generatedName;
    std::function<QString()> m_generated;
};
