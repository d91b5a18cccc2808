#pragma once

#include "foldersamples.h"
#include "tree/foldertreemodel.h"

#include <QAbstractItemModelTester>
#include <QLocale>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

// A folder tree model on a fresh temporary folder, checked by the model tester
// on every change, with helpers that wait for the worker's reads.
class FolderTreeFixture : public QObject {
protected:
    using State = FolderTreeModel::NodeState;

    static void useEnglish()
    {
        // The order follows the user's language; the expectations are English.
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }
    void setUp()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_model = std::make_unique<FolderTreeModel>();
        m_tester = std::make_unique<QAbstractItemModelTester>(
            m_model.get(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        m_reads = std::make_unique<QSignalSpy>(m_model.get(), &FolderTreeModel::folderRead);
    }
    void tearDown()
    {
        m_reads.reset();
        m_tester.reset();
        m_model.reset();
        m_dir.reset();
    }

    QString path(const QString& name) const { return m_dir->filePath(name); }
    QModelIndex node(const QString& name) const { return m_model->nodeForKey(path(name)); }
    // The children's names, folders with a "/"; the root's for an empty name.
    QStringList children(const QString& name) const;
    // Waits for the folder's read to complete; clear m_reads before starting it.
    bool waitRead(const QString& key);
    // Opens or closes the node and waits until an opened folder is read.
    bool toggle(const QString& name);
    bool startAt(const QString& root);
    // The node the synchronisation walk ends on.
    QModelIndex sync(const QString& target);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<FolderTreeModel> m_model;
    std::unique_ptr<QAbstractItemModelTester> m_tester;
    std::unique_ptr<QSignalSpy> m_reads;
};

inline QStringList FolderTreeFixture::children(const QString& name) const
{
    const QModelIndex parent = name.isEmpty() ? m_model->rootIndex() : node(name);
    QStringList names;
    for (int row = 0; row < m_model->rowCount(parent); ++row) {
        const QModelIndex child = m_model->index(row, 0, parent);
        const bool folder = m_model->state(child) != State::Leaf;
        names.append(child.data().toString() + (folder ? "/" : ""));
    }
    return names;
}

inline bool FolderTreeFixture::waitRead(const QString& key)
{
    const auto done = [this, &key] {
        for (const QList<QVariant>& arguments : std::as_const(*m_reads))
            if (arguments.at(0).toString() == key)
                return true;
        return false;
    };
    if (!QTest::qWaitFor(done))
        return false;
    m_reads->clear();
    return true;
}

inline bool FolderTreeFixture::toggle(const QString& name)
{
    const QModelIndex index = node(name);
    if (!index.isValid())
        return false;
    const bool opening = m_model->state(index) == State::Closed;
    m_reads->clear();
    m_model->ToggleNode(index);
    return !opening || waitRead(path(name));
}

inline bool FolderTreeFixture::startAt(const QString& root)
{
    m_reads->clear();
    m_model->setRoot(root);
    return waitRead(FolderTreeModel::keyOf(root));
}

inline QModelIndex FolderTreeFixture::sync(const QString& target)
{
    QSignalSpy synchronised(m_model.get(), &FolderTreeModel::synchronised);
    if (!m_model->syncWithPath(target) || !synchronised.wait())
        return {};
    m_reads->clear();
    return synchronised.at(0).at(0).value<QModelIndex>();
}
