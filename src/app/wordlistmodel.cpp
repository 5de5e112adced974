// WordListModel: one tab's headwords, converted from code page 1254 once.
#include "app/wordlistmodel.h"

#include "app/cp1254text.h"

WordListModel::WordListModel(QObject *parent)
    : QAbstractListModel(parent)
{ }

WordListModel::WordListModel(const zarel::TabLists &lists, QObject *parent)
    : QAbstractListModel(parent)
{
    if (!lists.created)
        return;
    m_words.reserve(static_cast<qsizetype>(lists.count()));
    for (size_t i = 0; i < lists.count(); ++i)
        m_words.append(zarel::app::fromCp1254(lists.headword(i)));
}

int WordListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_words.size());
}

QVariant WordListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_words.size())
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return m_words.at(index.row());
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
    return row >= 0 && row < m_words.size() ? m_words.at(row) : QString();
}

void WordListModel::insertHeadword(int row, const QString &headword)
{
    row = std::clamp(row, 0, static_cast<int>(m_words.size()));
    beginInsertRows(QModelIndex(), row, row);
    m_words.insert(row, headword);
    endInsertRows();
}
