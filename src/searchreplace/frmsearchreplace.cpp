#include "frmsearchreplace.h"

#include "matchdelegate.h"
#include "runsummary.h"

#include "platform/prompter.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QThread>
#include <QTreeWidget>

const QString frmSearchReplace::Caption = QStringLiteral("Disk Search & Replace");
const QString frmSearchReplace::NoFolder = QStringLiteral("The folder %1 does not exist.");
const QString frmSearchReplace::NothingToFind = QStringLiteral("Enter the text to find.");
const QString frmSearchReplace::EditorFailed = QStringLiteral("Could not start the editor %1.");

namespace {

constexpr int FileIndex = Qt::UserRole + 2;
constexpr int LineNumber = Qt::UserRole + 3;

QStringList globs(const QLineEdit* edit)
{
    return edit->text().split(QRegularExpression(QStringLiteral("[\\s;]+")), Qt::SkipEmptyParts);
}

QCheckBox* checkBox(const QString& name, const QString& caption, QWidget* parent)
{
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    return box;
}

} // namespace

frmSearchReplace::frmSearchReplace(const QString& folder, QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmSearchReplace"));
    setWindowTitle(Caption);
    auto edit = [this](const QString& name) {
        auto* e = new QLineEdit(this);
        e->setObjectName(name);
        return e;
    };
    m_find = edit(QStringLiteral("txtFind"));
    m_replace = edit(QStringLiteral("txtReplace"));
    m_folder = edit(QStringLiteral("txtFolder"));
    m_folder->setText(folder.isEmpty() ? QDir::currentPath() : folder);
    m_includes = edit(QStringLiteral("txtInclude"));
    m_includes->setPlaceholderText(QStringLiteral("*.txt *.html"));
    m_excludeDirs = edit(QStringLiteral("txtExcludeDir"));
    m_excludeDirs->setPlaceholderText(QStringLiteral(".git node_modules"));
    m_ignoreCase = checkBox(QStringLiteral("chkIgnoreCase"), QStringLiteral("Ignore &case"), this);
    m_wholeWord = checkBox(QStringLiteral("chkWholeWord"), QStringLiteral("&Whole words"), this);
    m_hidden = checkBox(QStringLiteral("chkHidden"), QStringLiteral("&Hidden files"), this);
    m_followSymlinks =
        checkBox(QStringLiteral("chkFollowSymlinks"), QStringLiteral("Follow &links"), this);
    m_backup =
        checkBox(QStringLiteral("chkBackup"), QStringLiteral("&Back up changed files"), this);
    m_backup->setChecked(true);
    m_maxSize = new QSpinBox(this);
    m_maxSize->setObjectName(QStringLiteral("spnMaxSize"));
    m_maxSize->setRange(1, 1024 * 1024);
    m_maxSize->setValue(256);
    m_maxSize->setSuffix(QStringLiteral(" MB"));

    auto button = [this](const QString& name, const QString& caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        return b;
    };
    m_search = button(QStringLiteral("cmdSearch"), QStringLiteral("&Search"));
    m_replaceButton = button(QStringLiteral("cmdReplace"), QStringLiteral("&Replace"));
    m_cancel = button(QStringLiteral("cmdCancel"), QStringLiteral("Cancel"));
    m_search->setDefault(true);

    m_preview = new QTreeWidget(this);
    m_preview->setObjectName(QStringLiteral("tvwPreview"));
    m_preview->setHeaderLabels(
        {QStringLiteral("File"), QStringLiteral("Matches"), QStringLiteral("Encoding")});
    m_preview->setItemDelegateForColumn(0, new MatchDelegate(m_preview));
    m_preview->setUniformRowHeights(true);
    m_preview->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_progress = new QProgressBar(this);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("lblStatus"));

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Find what:"), this), 0, 0);
    grid->addWidget(m_find, 0, 1, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("Replace with:"), this), 1, 0);
    grid->addWidget(m_replace, 1, 1, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("Folder:"), this), 2, 0);
    grid->addWidget(m_folder, 2, 1, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("Only files:"), this), 3, 0);
    grid->addWidget(m_includes, 3, 1);
    grid->addWidget(new QLabel(QStringLiteral("Skip folders:"), this), 3, 2);
    grid->addWidget(m_excludeDirs, 3, 3);
    auto* checks = new QHBoxLayout;
    for (QWidget* w : {static_cast<QWidget*>(m_ignoreCase), static_cast<QWidget*>(m_wholeWord),
                       static_cast<QWidget*>(m_hidden), static_cast<QWidget*>(m_followSymlinks),
                       static_cast<QWidget*>(m_backup)})
        checks->addWidget(w);
    checks->addStretch();
    checks->addWidget(new QLabel(QStringLiteral("Largest file:"), this));
    checks->addWidget(m_maxSize);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_progress, 1);
    buttons->addWidget(m_search);
    buttons->addWidget(m_replaceButton);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(checks);
    layout->addWidget(m_preview, 1);
    layout->addWidget(m_status);
    layout->addLayout(buttons);
    resize(800, 600);

    connect(m_search, &QPushButton::clicked, this, &frmSearchReplace::cmdSearch_Click);
    connect(m_replaceButton, &QPushButton::clicked, this, &frmSearchReplace::cmdReplace_Click);
    connect(m_cancel, &QPushButton::clicked, this, &frmSearchReplace::cmdCancel_Click);
    connect(m_preview, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { openInEditor(item); });
    // The job emits from the worker; these run queued on this thread.
    connect(&m_job, &SearchJob::fileFound, this, &frmSearchReplace::addFile);
    connect(&m_job, &SearchJob::fileSkipped, this, &frmSearchReplace::addSkipped);
    connect(&m_job, &SearchJob::fileReplaced, this, &frmSearchReplace::showReplaced);
    connect(&m_job, &SearchJob::progressed, this, [this](int done, int total) {
        m_progress->setRange(0, total);
        m_progress->setValue(done);
    });
    connect(&m_job, &SearchJob::finished, this, &frmSearchReplace::workerDone);
    connect(m_preview, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int column) {
        // A file's box sets its lines' boxes.
        if (column != 0 || item->parent() || item->childCount() == 0)
            return;
        const QSignalBlocker block(m_preview);
        for (int i = 0; i < item->childCount(); ++i)
            item->child(i)->setCheckState(0, item->checkState(0));
    });
    refreshButtons();
}

frmSearchReplace::~frmSearchReplace()
{
    if (m_thread) {
        m_job.cancel();
        m_thread->wait();
    }
}

SearchOptions frmSearchReplace::options() const
{
    SearchOptions o;
    o.find = m_find->text();
    o.replace = m_replace->text();
    o.ignoreCase = m_ignoreCase->isChecked();
    o.wholeWord = m_wholeWord->isChecked();
    o.hidden = m_hidden->isChecked();
    o.followSymlinks = m_followSymlinks->isChecked();
    o.includes = globs(m_includes);
    o.excludeDirs = globs(m_excludeDirs);
    o.maxSize = qint64(m_maxSize->value()) * 1024 * 1024;
    return o;
}

void frmSearchReplace::cmdSearch_Click()
{
    if (isBusy())
        return;
    const SearchOptions o = options();
    if (o.find.isEmpty()) {
        Prompter::tell(NothingToFind, MessageIcon::Exclamation);
        return;
    }
    const QString folder = m_folder->text();
    if (!QFileInfo(folder).isDir()) {
        Prompter::tell(NoFolder.arg(folder), MessageIcon::Exclamation);
        return;
    }
    m_preview->clear();
    m_found.clear();
    m_searchedWith = o;
    m_replacing = false;
    m_status->clear();
    runOnWorker([this, o, folder] { m_job.search(o, folder); });
}

QList<SearchJob::Choice> frmSearchReplace::checkedChoices() const
{
    QList<SearchJob::Choice> choices;
    for (int i = 0; i < m_preview->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* file = m_preview->topLevelItem(i);
        const QVariant index = file->data(0, FileIndex);
        if (!index.isValid() || file->checkState(0) == Qt::Unchecked)
            continue;
        SearchJob::Choice choice{m_found[index.toInt()], {}};
        for (int k = 0; k < file->childCount(); ++k)
            if (file->child(k)->checkState(0) == Qt::Checked)
                choice.lines.insert(file->child(k)->data(0, LineNumber).toLongLong());
        if (!choice.lines.isEmpty())
            choices.append(choice);
    }
    return choices;
}

void frmSearchReplace::cmdReplace_Click()
{
    if (isBusy())
        return;
    const QList<SearchJob::Choice> choices = checkedChoices();
    if (choices.isEmpty())
        return;
    // What was searched is what gets replaced: the find options are the
    // search's, only the replacement text is read now.
    SearchOptions o = m_searchedWith;
    o.replace = m_replace->text();
    o.replacing = true;
    const QString backup = m_backup->isChecked() ? ReplaceRun::defaultBackupFolder() : QString();
    m_backupFolder = backup;
    m_replacing = true;
    runOnWorker([this, o, choices, backup] { m_job.replace(o, choices, backup); });
}

void frmSearchReplace::cmdCancel_Click()
{
    if (isBusy())
        m_job.cancel();
    else
        close();
}

void frmSearchReplace::runOnWorker(std::function<void()> work)
{
    m_progress->setRange(0, 0);
    m_thread = QThread::create(std::move(work));
    m_thread->start();
    refreshButtons();
}

void frmSearchReplace::workerDone(bool cancelled, int files, int matches)
{
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
    m_progress->setRange(0, 1);
    m_progress->setValue(1);
    const QString cancelledText = cancelled ? QStringLiteral(" (cancelled)") : QString();
    if (m_replacing) {
        m_status->setText(RunSummary::replaced(matches, files) + cancelledText);
        // The stamps no longer match what was changed: search again to go on.
        m_found.clear();
    } else {
        m_status->setText(RunSummary::matched(matches, files) + cancelledText);
    }
    refreshButtons();
    if (m_replacing) {
        QString message = m_status->text();
        // The folder is made with the first copy: none when nothing changed.
        if (!m_backupFolder.isEmpty() && QFileInfo(m_backupFolder).isDir())
            message += QStringLiteral("\n\n") + RunSummary::backupsIn(m_backupFolder) + u'.';
        Prompter::tell(message, MessageIcon::Information);
    }
    emit jobFinished();
}

void frmSearchReplace::refreshButtons()
{
    m_search->setEnabled(!isBusy());
    m_replaceButton->setEnabled(!isBusy() && !m_found.isEmpty());
    m_cancel->setText(isBusy() ? QStringLiteral("Cancel") : QStringLiteral("Close"));
}

void frmSearchReplace::addFile(const ReplaceRun::Searched& searched)
{
    const QSignalBlocker block(m_preview);
    auto* file = new QTreeWidgetItem(m_preview);
    file->setText(0, searched.path);
    file->setText(1, QString::number(searched.scan.matchCount));
    QString encoding = QString::fromLatin1(searched.scan.format.encoding);
    if (searched.scan.format.byteOrderMark)
        encoding += QStringLiteral(" BOM");
    if (searched.scan.format.lineEnding == LineEnding::CRLF)
        encoding += QStringLiteral(", CR LF");
    file->setText(2, encoding);
    file->setData(0, FileIndex, int(m_found.size()));
    file->setCheckState(0, Qt::Checked);
    for (const LineMatch& line : searched.scan.lines) {
        auto* child = new QTreeWidgetItem(file);
        const QString prefix = QString::number(line.number) + QStringLiteral(": ");
        child->setText(0, prefix + line.text);
        QVariantList spans;
        for (const auto& [start, length] : line.spans)
            spans.append(QPoint(int(prefix.size() + start), int(length)));
        child->setData(0, MatchDelegate::MatchSpans, spans);
        child->setData(0, LineNumber, line.number);
        child->setText(1, QString::number(line.spans.size()));
        child->setCheckState(0, Qt::Checked);
    }
    ReplaceRun::Searched kept = searched;
    kept.bytes.clear();
    m_found.append(kept);
}

void frmSearchReplace::addSkipped(const QString& path, const QString& why)
{
    const QList<QTreeWidgetItem*> existing = m_preview->findItems(path, Qt::MatchExactly, 0);
    QTreeWidgetItem* item = existing.isEmpty() ? new QTreeWidgetItem(m_preview) : existing.first();
    const QSignalBlocker block(m_preview);
    item->setText(0, path);
    item->setText(2, why);
    item->setForeground(2, palette().color(QPalette::Disabled, QPalette::Text));
}

void frmSearchReplace::showReplaced(const QString& path, int count)
{
    const QList<QTreeWidgetItem*> items = m_preview->findItems(path, Qt::MatchExactly, 0);
    if (!items.isEmpty())
        items.first()->setText(2, QStringLiteral("%1 replaced").arg(count));
}

void frmSearchReplace::openInEditor(QTreeWidgetItem* item)
{
    if (!item)
        return;
    QTreeWidgetItem* file = item->parent() ? item->parent() : item;
    // The editor beside this program; a running one takes the file over.
    const QString editor = QCoreApplication::applicationDirPath() + QStringLiteral("/quillora");
    if (!QProcess::startDetached(editor, {file->text(0)}))
        Prompter::tell(EditorFailed.arg(editor), MessageIcon::Exclamation);
}
