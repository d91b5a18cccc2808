#pragma once

#include "app/frmmymdi.h"
#include "document/documentmanager.h"
#include "document/frmtext.h"
#include "richtext/richtextbox.h"

#include <QCoreApplication>
#include <QTimer>

// Shows the frame without its deferred start and the file in a maximised window,
// its text in place (a large file's text comes from a worker after the window).
inline frmText* showMaximized(frmMyMDI& frame, const QString& path)
{
    frame.resize(1000, 700);
    frame.show();
    frame.findChild<QTimer*>(QStringLiteral("Timer4"))->stop();
    frmText* window = frame.documents().LoadDocument(path);
    window->showMaximized();
    while (window->RichTextBox1->isLoading())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return window;
}
