#pragma once

#include <QString>
#include <array>
#include <optional>

// What a document window's selection shows around it: the check marks and
// pressed buttons of the emphasis attributes (kept as they were while the
// selection mixes them, which then shows as mixed), the checked alignment, the
// status bar's font text and the line number in the caption. Each window keeps
// its own, so switching windows shows each one's.
class SelectionIndicators {
public:
    enum Emphasis { Bold, Italic, Underline, StrikeThru, Bullet, Protected, EmphasisCount };
    enum Alignment { Left = 0, Right = 1, Center = 2 };

    // The selection's attributes as the control reports them; empty when mixed.
    struct Attributes {
        std::array<std::optional<bool>, EmphasisCount> emphasis;
        std::optional<int> alignment;
        std::optional<QString> fontName;
        std::optional<double> fontSize;
        int line = 1; // 1-based
    };
    struct Changes {
        bool font = false;
        bool line = false;
        bool marks = false; // a check mark, a mixed mark or the alignment
    };

    Changes update(const Attributes& now);
    // The font and line shown are forgotten, so the next update shows them again.
    void forget();

    bool checked(Emphasis e) const { return m_checked[e]; }
    bool mixed(Emphasis e) const { return m_mixed[e]; }
    Alignment alignment() const { return m_alignment; }
    QString fontText() const;
    int line() const { return m_line; }

    // "Courier New, 10", "Arial, 10.5": the size in its shortest form.
    static QString fontText(const QString& name, double size);
    // The bare caption, eight blanks, "Line: " and the line.
    static QString caption(const QString& bareCaption, int line);

private:
    std::array<bool, EmphasisCount> m_checked{};
    std::array<bool, EmphasisCount> m_mixed{};
    Alignment m_alignment = Left;
    QString m_fontName;
    double m_fontSize = 0;
    int m_line = 0;
};
