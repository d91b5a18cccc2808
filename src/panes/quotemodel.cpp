#include "quotemodel.h"

QuoteModel::QuoteModel(QObject* parent) : QAbstractListModel(parent)
{
    setObjectName(QStringLiteral("QuoteModel"));
}

void QuoteModel::setText(QString text)
{
    beginResetModel();
    m_quotes.setText(std::move(text));
    endResetModel();
}

int QuoteModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_quotes.count();
}

QVariant QuoteModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return m_quotes.shownText(index.row());
    return {};
}

Qt::ItemFlags QuoteModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}
