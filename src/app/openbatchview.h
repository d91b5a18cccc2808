#pragma once

#include <QObject>
#include <QPointer>

class DocumentManager;
class QMdiArea;
class QMdiSubWindow;
class QWidget;

// Keeps the document area still while the open queue works through a batch:
// nothing in it is drawn and no window is activated until the batch is done,
// when the window the last opening brought to the front becomes the active
// one. Activating each of many windows in turn costs time that grows with
// every window already open, and drawing each one is wasted. While an opening
// asks a question the area shows where the batch has got to.
class OpenBatchView : public QObject {
    Q_OBJECT
public:
    OpenBatchView(QMdiArea* area, DocumentManager& documents, QObject* parent = nullptr);

    // Starts a batch; nothing happens when one is under way.
    void begin();
    // Before each opening: a path already open brings its window to the front.
    void opening(const QString& path);
    // Draws the area again and activates the front window.
    void end();
    bool isOn() const { return m_on; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void hold();
    void release();

    QMdiArea* m_area;
    DocumentManager& m_documents;
    QPointer<QMdiSubWindow> m_front;
    QPointer<QWidget> m_focus;
    bool m_on = false;
    bool m_held = false;
};
