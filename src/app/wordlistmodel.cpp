// WordListModel: one tab's headwords, converted from code page 1254 row by row when asked for.
#include "app/wordlistmodel.h"

#include "controls/cp1254text.h"

#include <algorithm>

namespace {

int listRows(const zarel::TabLists *lists)
{
    return lists != nullptr && lists->created ? static_cast<int>(lists->count()) : 0;
}

} // namespace

WordListModel::WordListModel(QObject *parent)
    : QAbstractListModel(parent)
{ }

WordListModel::WordListModel(const zarel::TabLists &lists, QObject *parent)
    : QAbstractListModel(parent)
    , m_lists(&lists)
    , m_rows(listRows(&lists))
{ }

int WordListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

QVariant WordListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows)
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return headword(index.row());
    return {};
}

Qt::ItemFlags WordListModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

QString WordListModel::headword(int row) const
{
    // Rows announced to views never outnumber the lists' entries (insertions follow the lists).
    if (row < 0 || row >= m_rows || static_cast<size_t>(row) >= m_lists->count())
        return QString();
    return zarel::app::fromCp1254(m_lists->headword(static_cast<size_t>(row)));
}

QList<QString> WordListModel::headwords() const
{
    QList<QString> words;
    words.reserve(m_rows);
    for (int row = 0; row < m_rows; ++row)
        words.append(headword(row));
    return words;
}

void WordListModel::reload()
{
    beginResetModel();
    m_rows = listRows(m_lists);
    endResetModel();
}

void WordListModel::insertHeadword(int row, const QString &headword)
{
    Q_UNUSED(headword);
    const int rows = listRows(m_lists);
    if (rows <= m_rows)
        return; // the lists did not grow: nothing new to show
    row = std::clamp(row, 0, m_rows);
    beginInsertRows(QModelIndex(), row, row + (rows - m_rows) - 1);
    m_rows = rows;
    endInsertRows();
}
