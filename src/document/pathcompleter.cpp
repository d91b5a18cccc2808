#include "pathcompleter.h"

#include <QDirIterator>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QPointer>
#include <QSet>
#include <QStorageInfo>
#include <QStringListModel>

namespace {

// Enough for any list a person scrolls; a huge folder is not read to its end.
constexpr int MaxEntries = 2000;

QString folderOf(const QString& typed)
{
    const qsizetype slash = typed.lastIndexOf(u'/');
    return slash < 0 ? QString() : typed.left(slash + 1);
}

} // namespace

PathCompleter::PathCompleter(QLineEdit* box)
    : QCompleter(box), m_entries(new QStringListModel(this))
{
    setObjectName(QStringLiteral("PathCompleter"));
    setModel(m_entries);
    setCompletionMode(QCompleter::PopupCompletion);
    setModelSorting(QCompleter::CaseSensitivelySortedModel);
    // The box emits this before it hands its text to its completer.
    connect(box, &QLineEdit::textEdited, this, &PathCompleter::follow);
    box->setCompleter(this);
    follow(box->text());
}

bool PathCompleter::isKernelFileSystem(const QString& folder)
{
    static const QSet<QByteArray> kernel = {
        "proc",      "sysfs",    "devtmpfs",    "devpts", "debugfs",   "tracefs", "securityfs",
        "cgroup",    "cgroup2",  "pstore",      "bpf",    "configfs",  "fusectl", "mqueue",
        "hugetlbfs", "efivarfs", "binfmt_misc", "autofs", "rpc_pipefs"};
    const QStorageInfo storage(folder);
    return storage.isValid() && kernel.contains(storage.fileSystemType());
}

QStringList PathCompleter::candidates(const QString& typed)
{
    const QString folder = folderOf(typed);
    if (!folder.startsWith(u'/') || isKernelFileSystem(folder))
        return {};
    QStringList found;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    while (it.hasNext() && found.size() < MaxEntries) {
        it.next();
        const QFileInfo info = it.fileInfo();
        found.append(folder + info.fileName() + (info.isDir() ? QStringLiteral("/") : QString()));
    }
    found.sort();
    return found;
}

void PathCompleter::follow(const QString& typed)
{
    const QString folder = folderOf(typed);
    if (folder == m_folder && !m_entries->stringList().isEmpty())
        return;
    m_folder = folder;
    m_entries->setStringList(candidates(typed));
}

int PathCompleter::replaceIn(QWidget* dialog)
{
    int replaced = 0;
    for (QLineEdit* box : dialog->findChildren<QLineEdit*>()) {
        QCompleter* old = box->completer();
        if (!old || !qobject_cast<QFileSystemModel*>(old->model()))
            continue;
        // The box deletes a completer it owns when given another; the rest,
        // and the model that watches and reads the folders it was shown, go here.
        const QPointer<QCompleter> previous = old;
        const QPointer<QAbstractItemModel> files = old->model();
        new PathCompleter(box);
        if (previous)
            previous->deleteLater();
        if (files)
            files->deleteLater();
        ++replaced;
    }
    return replaced;
}
