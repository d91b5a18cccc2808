#pragma once

#include <QObject>
#include <QString>

class QMdiArea;
struct FrameContext;

// Files dropped on the area behind the document windows open as documents, as
// paths from outside do; a folder is refused with a message and the rest still
// open. The drop is a copy: the source keeps its files.
class DocumentDropArea : public QObject {
    Q_OBJECT
public:
    static inline const QString DirectoryRefused =
        QStringLiteral("Cannot open a directory as a document.");
    static QString directoryMessage(const QString& path);

    DocumentDropArea(FrameContext& context, QMdiArea* area, QObject* parent = nullptr);

    // Opens the paths in order, as a drop of them does.
    void openDropped(const QStringList& paths);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    FrameContext& m_context;
    // Compared by address only: while the area is being destroyed its children
    // still send events, and the area can no longer be asked for its viewport.
    QObject* m_viewport;
};
