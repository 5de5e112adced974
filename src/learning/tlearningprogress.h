// TLearningProgress: the window that shows how the word list is being learnt: one row per list
// entry with its box, counts and dates, and a picture of the answers of the last 30 days.
#pragma once

#include "learning/core/learninghistory.h"

#include <vector>

#include <QDate>
#include <QDialog>
#include <QWidget>

class QLabel;
class QPushButton;
class QTableWidget;
namespace zarel::methods {
class MethodHost;
}

namespace zarel::learning {

// Right and wrong answers of one day.
struct DayCount
{
    QDate day;
    int right = 0;
    int wrong = 0;
};

// The answers of the `days` local days ending with `lastDay`, oldest first (one element per
// day, days without answers included). Answers outside those days are left out.
std::vector<DayCount> answersPerDay(const std::vector<AnswerRow> &answers, QDate lastDay, int days);

// The history's notice about its file in the interface language, taken from the history (so it
// is said once); empty when there is none.
QString takeHistoryNotice(LearningHistory &history, bool english);

// The picture of the answers per day: one column per day, right answers (green) at the bottom
// and wrong ones (red) stacked on them, the tallest column filling the height.
class TAnswerChart : public QWidget
{
    Q_OBJECT
public:
    explicit TAnswerChart(QWidget *parent = nullptr);
    void setDays(std::vector<DayCount> days, const QString &rightCaption,
                 const QString &wrongCaption);
    const std::vector<DayCount> &days() const { return m_days; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::vector<DayCount> m_days;
    QString m_rightCaption;
    QString m_wrongCaption;
};

} // namespace zarel::learning

class TLearningProgress : public QDialog
{
    Q_OBJECT
public:
    // Reads the history of the main window's data folder; texts in English when `english`.
    TLearningProgress(const zarel::methods::MethodHost &host, bool english,
                      QWidget *parent = nullptr);

    // The columns of Grid1.
    enum Column { ColWord, ColBox, ColRight, ColWrong, ColLast, ColDue, ColCount };

    QLabel *Label1; // a notice about the history file (set aside, not kept); hidden when none
    QTableWidget *Grid1; // the list's entries; sortable by every column
    QLabel *Label2; // the chart's caption
    zarel::learning::TAnswerChart *Chart1;
    QPushButton *Button1; // close

    // Reads the history again and refills the grid and the picture.
    void refresh();

private:
    const zarel::methods::MethodHost &m_host;
    const bool m_english;
};
