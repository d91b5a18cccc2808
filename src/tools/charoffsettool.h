#pragma once

#include "document/framecontext.h"

#include <QHash>
#include <QObject>
#include <QPointer>

class QLineEdit;
class QScrollBar;
class frmText;

// The super/subscript tool: a slider at the right edge of a document window that
// raises (upper half) or lowers (lower half) the selection by the pixels it shows,
// with the value in a small box beside it.
class CharOffsetTool : public QObject {
    Q_OBJECT
public:
    CharOffsetTool(FrameContext& context, QObject* parent = nullptr);
    void registerCommands(CommandRouter& router);

    void mnuSelCharOffset_Click();
    void VScroll1_Change(frmText* window, int value);
    bool isShown(const frmText* window) const;
    // The window's slider and box, made when first shown (null before).
    QScrollBar* VScroll1(const frmText* window) const;
    QLineEdit* Text1(const frmText* window) const;
    // Twips per screen pixel along y: 15 at 96 dots per inch.
    static double twipsPerPixel(const QWidget* widget);

private:
    struct Parts {
        QPointer<QScrollBar> slider;
        QPointer<QLineEdit> box;
    };
    Parts& partsFor(frmText* window);
    void placeBox(frmText* window, int value);

    FrameContext& m_context;
    QHash<const frmText*, Parts> m_parts;
};
