#pragma once

#include "framecontext.h"
#include "selectionindicators.h"

#include <QHash>
#include <QObject>
#include <QPointer>

class QComboBox;

class SelectionTracker;
class frmText;

// The formatting commands of the document windows (emphasis, protection,
// alignment, indents, bullets, word wrap) and the selection tracking that keeps
// their check marks, the pressed toolbar buttons, the caption's line and the
// status bar's font in step with each window's caret.
class FormattingController : public QObject {
    Q_OBJECT
public:
    static inline const QString LeftIndentQuestion =
        QStringLiteral("Input (in centimeters) the amount of left indentation desired");
    static inline const QString HangingIndentQuestion =
        QStringLiteral("Input (in centimeters) the amount of hanging indentation desired");
    static inline const QString RightIndentQuestion =
        QStringLiteral("Input (in centimeters) the amount of right indentation desired");
    static inline const QString BulletQuestion = QStringLiteral(
        "Input (in centimeters) the amount of indentation desired for bulleted text");
    // Indents beyond this many inches either way are taken as this many.
    static constexpr double MaximumIndentInches = 22;

    explicit FormattingController(FrameContext& context, QObject* parent = nullptr);
    void registerCommands(CommandRouter& router);

    void mnuBold_Click();
    void mnuItalic_Click();
    void mnuUnderline_Click();
    void mnuStrikeThru_Click();
    void mnuProtect_Click();
    void mnuEmphasisRemove_Click();
    void mnuAlignLeft_Click();
    void mnuAlignCenter_Click();
    void mnuAlignRight_Click();
    void mnuIndentLeft_Click();
    void mnuIndentHang_Click();
    void mnuIndentRight_Click();
    void mnuBullet_Click();
    void mnuWordWrap_Click();
    void mnuFont_Click();
    // The font boxes' picks, applied to the active document.
    void frmmyMDICombo1_Click();
    void frmmyMDICombo2_Click();
    // Brings the font boxes in line with a document's selection without moving the focus.
    void InitCombos(frmText* window = nullptr);

    SelectionTracker* tracker(const frmText* window) const;
    // What each window remembers of its indent answers, in centimetres.
    struct Indents {
        double left = 0;
        double hanging = 0;
        double right = 0;
        double bullet = 0;
    };
    Indents& indents(const frmText* window) { return m_indents[window]; }
    // The leading number typed (0 when none), kept within reach; and it in twips.
    static double centimetres(const QString& typed);
    static int twipsOfCentimetres(const QString& typed);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    void fontTextChanged(const QString& text);
    void pointerMoved();

private:
    void track(frmText* window);
    bool emphasisOn(SelectionIndicators::Emphasis e) const;
    void toggle(SelectionIndicators::Emphasis e);
    // Asks for an indent in centimetres; nothing when the answer is empty.
    std::optional<int> askIndent(const QString& question, double& remembered);
    void connectFontBoxes();
    // Selects the value in the box, adding it when absent, without running the pick.
    static void showInBox(QComboBox* box, const QString& value);
    // A typed value is taken only when it names a font or a size of 1 to 1638 points.
    void fontBoxEntered(QComboBox* box);

    FrameContext& m_context;
    QHash<const frmText*, QPointer<SelectionTracker>> m_trackers;
    QHash<const frmText*, Indents> m_indents;
};
