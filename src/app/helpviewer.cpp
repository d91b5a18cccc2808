#include "helpviewer.h"

#include "helpbrowser.h"

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSet>
#include <QSplitter>
#include <QTextDocument>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

HelpViewer::HelpViewer(const QString& folder, const QString& firstPage, const QString& title,
                       QWidget* parent)
    : QWidget(parent, Qt::Window), m_folder(folder), m_firstPage(firstPage)
{
    setWindowTitle(title);
    resize(900, 650);
    auto* bar = new QToolBar(this);
    QAction* contents =
        bar->addAction(QIcon::fromTheme(QStringLiteral("go-home")), QStringLiteral("&Contents"));
    contents->setObjectName(QStringLiteral("helpContents"));
    QAction* back =
        bar->addAction(QIcon::fromTheme(QStringLiteral("go-previous")), QStringLiteral("&Back"));
    back->setObjectName(QStringLiteral("helpBack"));
    back->setShortcut(QKeySequence::Back);
    QAction* forward =
        bar->addAction(QIcon::fromTheme(QStringLiteral("go-next")), QStringLiteral("&Forward"));
    forward->setObjectName(QStringLiteral("helpForward"));
    forward->setShortcut(QKeySequence::Forward);
    bar->addSeparator();
    m_findBox = new QLineEdit(bar);
    m_findBox->setObjectName(QStringLiteral("helpFindBox"));
    m_findBox->setPlaceholderText(QStringLiteral("Find in page"));
    m_findBox->setClearButtonEnabled(true);
    m_findBox->setMaximumWidth(240);
    bar->addWidget(m_findBox);
    QAction* find =
        bar->addAction(QIcon::fromTheme(QStringLiteral("edit-find")), QStringLiteral("Find &next"));
    find->setObjectName(QStringLiteral("helpFind"));
    find->setShortcut(QKeySequence::FindNext);
    auto* focusFind = new QAction(this);
    focusFind->setShortcut(QKeySequence::Find);
    addAction(focusFind);

    m_contents = new QTreeWidget(this);
    m_contents->setObjectName(QStringLiteral("helpContentsList"));
    m_contents->setHeaderHidden(true);
    m_contents->setRootIsDecorated(false);
    m_browser = new HelpBrowser(this);
    m_browser->setObjectName(QStringLiteral("helpBrowser"));
    m_browser->setSearchPaths({folder});
    // Links are followed here, so that those leaving the folder go to the desktop.
    m_browser->setOpenLinks(false);
    auto* split = new QSplitter(this);
    split->addWidget(m_contents);
    split->addWidget(m_browser);
    split->setStretchFactor(1, 1);
    split->setSizes({200, 700});
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(split, 1);

    connect(contents, &QAction::triggered, this, [this] { showTopic({m_firstPage, QString()}); });
    connect(back, &QAction::triggered, m_browser, &QTextBrowser::backward);
    connect(forward, &QAction::triggered, m_browser, &QTextBrowser::forward);
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(m_browser, &QTextBrowser::anchorClicked, this, &HelpViewer::follow);
    connect(find, &QAction::triggered, this, [this] { findText(m_findBox->text()); });
    connect(m_findBox, &QLineEdit::returnPressed, this, [this] { findText(m_findBox->text()); });
    connect(focusFind, &QAction::triggered, this, [this] {
        m_findBox->setFocus();
        m_findBox->selectAll();
    });
    connect(m_browser, &QTextBrowser::sourceChanged, this, &HelpViewer::markShownPage);
    connect(m_contents, &QTreeWidget::itemActivated, this, &HelpViewer::contentsClicked);
    connect(m_contents, &QTreeWidget::itemClicked, this, &HelpViewer::contentsClicked);
    fillContents();
}

bool HelpViewer::isOutside(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    return scheme == u"http" || scheme == u"https" || scheme == u"mailto";
}

void HelpViewer::showTopic(const HelpTopic& topic)
{
    QUrl url = QUrl::fromLocalFile(QDir(m_folder).filePath(topic.page));
    if (!topic.anchor.isEmpty())
        url.setFragment(topic.anchor);
    m_browser->setSource(url);
    // A page shown again from the history does not move to its anchor by itself.
    if (!topic.anchor.isEmpty())
        m_browser->scrollToAnchor(topic.anchor);
    markShownPage(m_browser->source());
}

void HelpViewer::follow(const QUrl& url)
{
    if (isOutside(url)) {
        QDesktopServices::openUrl(url);
        return;
    }
    const QUrl target = m_browser->source().resolved(url);
    // Only the folder's own pages are shown: nothing else on the disk is read.
    if (target.isLocalFile() &&
        !QDir::cleanPath(target.toLocalFile()).startsWith(QDir::cleanPath(m_folder) + u'/'))
        return;
    m_browser->setSource(target);
}

bool HelpViewer::findText(const QString& text)
{
    if (text.isEmpty())
        return false;
    if (m_browser->find(text))
        return true;
    QTextCursor top = m_browser->textCursor();
    top.movePosition(QTextCursor::Start);
    m_browser->setTextCursor(top);
    return m_browser->find(text);
}

void HelpViewer::fillContents()
{
    // The first page's links in the order they appear are the contents.
    QFile page(QDir(m_folder).filePath(m_firstPage));
    auto* top = new QTreeWidgetItem(m_contents, {QStringLiteral("Contents")});
    top->setData(0, Qt::UserRole, m_firstPage);
    if (!page.open(QIODevice::ReadOnly))
        return;
    const QString html = QString::fromUtf8(page.readAll());
    static const QRegularExpression link(
        QStringLiteral("<a\\s+href=\"([^\"#:]+\\.html)(#[^\"]*)?\"[^>]*>(.*?)</a>"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    QSet<QString> listed;
    for (auto it = link.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        // Each page once: the page's own links back to the contents are not entries.
        const QString target = match.captured(1) + match.captured(2);
        if (target == m_firstPage || listed.contains(target))
            continue;
        listed.insert(target);
        QTextDocument caption;
        caption.setHtml(match.captured(3));
        auto* item = new QTreeWidgetItem(m_contents, {caption.toPlainText().simplified()});
        item->setData(0, Qt::UserRole, target);
    }
}

void HelpViewer::contentsClicked()
{
    const QTreeWidgetItem* item = m_contents->currentItem();
    if (!item)
        return;
    const QString target = item->data(0, Qt::UserRole).toString();
    const int hash = target.indexOf(u'#');
    showTopic({target.left(hash), hash < 0 ? QString() : target.mid(hash + 1)});
}

void HelpViewer::markShownPage(const QUrl& shown)
{
    // The entry of the page and anchor shown, else of the page, else none:
    // a highlight left on the last entry clicked would name another page.
    const QString page = QFileInfo(shown.path()).fileName();
    const QString exact = shown.hasFragment() ? page + u'#' + shown.fragment() : page;
    QTreeWidgetItem* samePage = nullptr;
    for (int i = 0; i < m_contents->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = m_contents->topLevelItem(i);
        const QString target = item->data(0, Qt::UserRole).toString();
        if (target == exact) {
            m_contents->setCurrentItem(item);
            return;
        }
        if (!samePage && target.section(u'#', 0, 0) == page)
            samePage = item;
    }
    if (samePage) {
        m_contents->setCurrentItem(samePage);
        return;
    }
    m_contents->clearSelection();
    m_contents->setCurrentItem(nullptr);
}
