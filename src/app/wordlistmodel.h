// WordListModel: the headwords of one letter tab (WordLists[t]) as a read-only list model over
// the tab's index records. The headwords stay in their code-page-1254 form in the index; a row
// is converted to QString only when a view asks for it (the visible rows of the word box), so
// switching tabs only hands the model to the word box and no second copy of the words is kept.
#pragma once

#include "dictionary/dictionaryindex.h"

#include <QAbstractListModel>
#include <QList>
#include <QString>

class WordListModel : public QAbstractListModel
{
    Q_OBJECT
public:
    // A model without lists: always empty.
    explicit WordListModel(QObject *parent = nullptr);
    // The headwords of `lists` in file order; a tab whose lists were never created is empty.
    // The lists must outlive the model; their entries are read when a row is asked for.
    WordListModel(const zarel::TabLists &lists, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // Row i is entry i of the tab; an out-of-range row gives an empty string.
    QString headword(int row) const;
    // Every row's headword, converted now.
    QList<QString> headwords() const;

    // The tab's lists were (re)loaded: the model shows their entries from now on.
    void reload();
    // The tab's lists got an entry at `row` (the only change they ever see, a user entry):
    // the row appears in the model. `headword` is the new entry's text; the model reads it
    // from the lists, so it is not kept.
    void insertHeadword(int row, const QString &headword);

private:
    const zarel::TabLists *m_lists = nullptr;
    int m_rows = 0; // the rows announced to views; follows the lists on reload and insertion
};
