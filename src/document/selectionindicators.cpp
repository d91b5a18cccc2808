#include "selectionindicators.h"

SelectionIndicators::Changes SelectionIndicators::update(const Attributes& now)
{
    const auto checked = m_checked;
    const auto mixed = m_mixed;
    const Alignment alignment = m_alignment;
    for (int e = 0; e < EmphasisCount; ++e) {
        m_mixed[e] = !now.emphasis[e].has_value();
        if (now.emphasis[e])
            m_checked[e] = *now.emphasis[e];
    }
    if (now.alignment &&
        (*now.alignment == Left || *now.alignment == Right || *now.alignment == Center))
        m_alignment = Alignment(*now.alignment);
    Changes changes;
    changes.marks = checked != m_checked || mixed != m_mixed || alignment != m_alignment;
    if (now.fontName && now.fontSize &&
        (now.fontName->compare(m_fontName, Qt::CaseInsensitive) != 0 ||
         *now.fontSize != m_fontSize)) {
        m_fontName = *now.fontName;
        m_fontSize = *now.fontSize;
        changes.font = true;
    }
    if (now.line != m_line) {
        m_line = now.line;
        changes.line = true;
    }
    return changes;
}

void SelectionIndicators::forget()
{
    m_fontName.clear();
    m_fontSize = 0;
    m_line = 0;
}

QString SelectionIndicators::fontText() const
{
    return m_fontName.isEmpty() ? QString() : fontText(m_fontName, m_fontSize);
}

QString SelectionIndicators::fontText(const QString& name, double size)
{
    return name + QStringLiteral(", ") + QString::number(size);
}

QString SelectionIndicators::caption(const QString& bareCaption, int line)
{
    return bareCaption + QStringLiteral("        Line: ") + QString::number(line);
}
