#include "matchdelegate.h"

#include <QApplication>
#include <QPainter>

void MatchDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const
{
    const QVariantList spans = index.data(MatchSpans).toList();
    if (spans.isEmpty()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    // The check box and background as usual, then the text in pieces.
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QString text = opt.text;
    opt.text.clear();
    QStyle* style = opt.widget ? opt.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);
    const QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, opt.widget);
    painter->save();
    painter->setClipRect(area);
    const QFontMetrics metrics(opt.font);
    int x = area.left() + 2;
    const int baseline = area.top() + (area.height() + metrics.ascent() - metrics.descent()) / 2;
    qsizetype at = 0;
    auto piece = [&](qsizetype start, qsizetype length, bool marked) {
        const QString part = text.mid(start, length);
        const int width = metrics.horizontalAdvance(part);
        if (marked)
            painter->fillRect(QRect(x, area.top() + 1, width, area.height() - 2),
                              opt.palette.color(QPalette::Highlight));
        painter->setPen(opt.palette.color(marked ? QPalette::HighlightedText : QPalette::Text));
        painter->drawText(x, baseline, part);
        x += width;
    };
    for (const QVariant& span : spans) {
        const QPoint p = span.toPoint(); // x start, y length
        piece(at, p.x() - at, false);
        piece(p.x(), p.y(), true);
        at = p.x() + p.y();
    }
    piece(at, text.size() - at, false);
    painter->restore();
}
