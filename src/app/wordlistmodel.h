// WordListModel: the headwords of one letter tab (WordLists[t]) as a read-only list model,
// converted to QString once so that switching tabs only hands the model to the word box.
#pragma once

#include "dictionary/dictionaryindex.h"

#include <QAbstractListModel>
#include <QList>
#include <QString>

class WordListModel : public QAbstractListModel
{
    Q_OBJECT
public:
    explicit WordListModel(QObject *parent = nullptr);
    // The headwords of `lists` in file order; a tab whose lists were never created is empty.
    WordListModel(const zarel::TabLists &lists, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // Row i is entry i of the tab; an out-of-range row gives an empty string.
    QString headword(int row) const;
    const QList<QString> &headwords() const { return m_words; }

    // Keeps the model parallel to the tab's lists when an entry is inserted into them at
    // `row` (the only change the lists ever see, a user entry).
    void insertHeadword(int row, const QString &headword);

private:
    QList<QString> m_words;
};
