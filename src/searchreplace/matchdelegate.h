#pragma once

#include <QStyledItemDelegate>

// Paints a matching line with its matches marked; the spans come in the
// item's MatchSpans role as a list of start, length pairs.
class MatchDelegate : public QStyledItemDelegate {
public:
    static constexpr int MatchSpans = Qt::UserRole + 1;

    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};
