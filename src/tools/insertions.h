#pragma once

#include "datetimetext.h"
#include "document/framecontext.h"

#include <QObject>

class QMenu;
class frmText;

// What the Edit menu inserts at the caret: the date or time, the clipboard in a
// chosen format, the clipboard's text as an HTML link, and a picture or a link
// to a file.
class Insertions : public QObject {
    Q_OBJECT
public:
    static inline const QString PasteSpecialTitle = QStringLiteral("Paste special");
    static inline const QString PasteSpecialLabel = QStringLiteral("Select a format:");
    static inline const QString InsertObjectTitle = QStringLiteral("Insert Object");

    Insertions(FrameContext& context, QObject* parent = nullptr);
    void registerCommands(CommandRouter& router);

    void mnuDateGeneral_Click() { insertNow(DateTimeText::Form::General); }
    void mnuDateLong_Click() { insertNow(DateTimeText::Form::LongDate); }
    void mnuDateMed_Click() { insertNow(DateTimeText::Form::MediumDate); }
    void mnuDateShort_Click() { insertNow(DateTimeText::Form::ShortDate); }
    void mnuTimeLong_Click() { insertNow(DateTimeText::Form::LongTime); }
    void mnuTimeMed_Click() { insertNow(DateTimeText::Form::MediumTime); }
    void mnuTimeShort_Click() { insertNow(DateTimeText::Form::ShortTime); }
    void mnuPasteSpecial_Click();
    void mnuPasteAsLink_Click();
    void mnuObjInsert_Click();
    // The Edit menu opens: the date entries show the date and time as they would insert it.
    void mnuEdit_Click();
    // A picture file goes in as a picture, any other file as a link to it; false (the user
    // was told why) when it could not be read.
    bool insertFile(frmText* window, const QString& path);

private:
    void insertNow(DateTimeText::Form form);

    FrameContext& m_context;
};
