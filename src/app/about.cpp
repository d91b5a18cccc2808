#include "about.h"

#include "platform/prompter.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#ifndef QUILLORA_VERSION
#define QUILLORA_VERSION "0.0.0"
#endif
#ifndef QUILLORA_HOMEPAGE
#define QUILLORA_HOMEPAGE "https://quillora.example.org/"
#endif
#ifndef QUILLORA_BUGS
#define QUILLORA_BUGS "https://quillora.example.org/issues/"
#endif

QString About::homePage()
{
    return QStringLiteral(QUILLORA_HOMEPAGE);
}

QString About::issueTracker()
{
    return QStringLiteral(QUILLORA_BUGS);
}

QString About::versionText(const QString& version)
{
    // The version exactly as the build names it: a minor version padded to two
    // digits ("0.01" for 0.1.0) read as another version than the package's.
    return QStringLiteral("Quillora ") + version;
}

namespace {

QLabel* linkLabel(const QString& address, const char* name, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setText(QStringLiteral("<a href=\"%1\">%1</a>").arg(address.toHtmlEscaped()));
    label->setTextFormat(Qt::RichText);
    label->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    label->setCursor(Qt::PointingHandCursor);
    QObject::connect(label, &QLabel::linkActivated, label,
                     [](const QString& link) { About::openLink(link); });
    return label;
}

} // namespace

About::About(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("About"));
    setWindowTitle(QStringLiteral("About Quillora"));
    if (parent)
        setWindowIcon(parent->windowIcon());
    lblVersion = new QLabel(versionText(QStringLiteral(QUILLORA_VERSION)), this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    QFont big = lblVersion->font();
    big.setPointSizeF(big.pointSizeF() * 1.4);
    big.setBold(true);
    lblVersion->setFont(big);
    auto* summary =
        new QLabel(QStringLiteral("An editor for plain text, RTF and HTML files."), this);
    Label1_0 = linkLabel(homePage(), "Label1_0", this);
    Label1_1 = linkLabel(issueTracker(), "Label1_1", this);
    Command1 = new QPushButton(QStringLiteral("&OK"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Command1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblVersion);
    layout->addWidget(summary);
    layout->addSpacing(8);
    layout->addWidget(new QLabel(QStringLiteral("Home page:"), this));
    layout->addWidget(Label1_0);
    layout->addWidget(new QLabel(QStringLiteral("Report a problem:"), this));
    layout->addWidget(Label1_1);
    layout->addLayout(buttons);
    connect(Command1, &QPushButton::clicked, this, &QDialog::hide);
}

bool About::openLink(const QString& address)
{
    if (QDesktopServices::openUrl(QUrl(address)))
        return true;
    Prompter::tell(BrowserError, MessageIcon::Exclamation);
    return false;
}
