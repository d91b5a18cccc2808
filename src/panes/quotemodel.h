#pragma once

#include "quotelist.h"

#include <QAbstractListModel>

// The quotes pane's rows: one per quote, showing it (cut when very long) and
// giving it whole, up to the same length, as the tool tip. Read-only.
class QuoteModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit QuoteModel(QObject* parent = nullptr);

    // The quotes and the search state; replace the quotes through setText.
    QuoteList& quotes() { return m_quotes; }
    const QuoteList& quotes() const { return m_quotes; }
    void setText(QString text);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    QuoteList m_quotes;
};
