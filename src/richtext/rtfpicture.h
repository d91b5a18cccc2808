#pragma once

#include <QByteArray>
#include <QString>
#include <QTextFormat>

class QTextDocument;

// A picture as an RTF \pict group describes it.
struct RtfPicture {
    QString header;
    QByteArray data;
    QByteArray hex;
    QString kind;
    int picw = 0, pich = 0, goalw = 0, goalh = 0, scalex = 100, scaley = 100;

    // Adds the picture to the document as a resource and returns the format that
    // shows it. Pictures we cannot show appear as a framed box of their size and
    // keep their bytes, so that saving writes them back unchanged.
    QTextImageFormat addTo(QTextDocument* document, int number) const;
    // The value of a hexadecimal digit, or -1.
    static int hexValue(char c);
};
