// The learning progress window: the list's entries with their boxes, and the last 30 days.
#include "learning/tlearningprogress.h"

#include <algorithm>

#include <QDateTime>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "methods/methodsupport.h"

using namespace Qt::StringLiterals;

namespace {
constexpr int kChartDays = 30; // the days the picture shows, today the last
}

namespace zarel::learning {

namespace {

const QColor kRightColour(46, 139, 87);
const QColor kWrongColour(205, 55, 55);

} // namespace

std::vector<DayCount> answersPerDay(const std::vector<AnswerRow> &answers, QDate lastDay, int days)
{
    std::vector<DayCount> result;
    if (days <= 0 || !lastDay.isValid())
        return result;
    const QDate first = lastDay.addDays(-(days - 1));
    for (int d = 0; d < days; ++d)
        result.push_back({ first.addDays(d), 0, 0 });
    for (const AnswerRow &a : answers) {
        const QDate day = QDateTime::fromSecsSinceEpoch(a.time).date();
        const qint64 at = first.daysTo(day);
        if (at < 0 || at >= days)
            continue;
        DayCount &c = result[static_cast<size_t>(at)];
        ++(a.right ? c.right : c.wrong);
    }
    return result;
}

QString takeHistoryNotice(LearningHistory &history, bool english)
{
    const LearningHistory::NoticeKind kind = history.noticeKind();
    const QString path = QString::fromStdString(history.path());
    const QString aside = QString::fromStdString(history.asidePath());
    const QString plain = QString::fromStdString(history.takeNotice());
    if (english)
        return plain;
    switch (kind) {
    case LearningHistory::NoticeKind::SetAside:
        return u"Öğrenme geçmişi %1 okunamadı. %2 adıyla kenara alındı ve yeni bir geçmiş "
               u"başlatıldı."_s.arg(path, aside);
    case LearningHistory::NoticeKind::NotKept:
        return u"Öğrenme geçmişi %1 tutulamıyor; cevaplar hatırlanmayacak."_s.arg(path);
    case LearningHistory::NoticeKind::None:
        break;
    }
    return plain;
}

TAnswerChart::TAnswerChart(QWidget *parent)
    : QWidget(parent)
{
    setMinimumSize(480, 200);
}

void TAnswerChart::setDays(std::vector<DayCount> days, const QString &rightCaption,
                           const QString &wrongCaption)
{
    m_days = std::move(days);
    m_rightCaption = rightCaption;
    m_wrongCaption = wrongCaption;
    update();
}

void TAnswerChart::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), palette().base());
    const QFontMetrics fm = p.fontMetrics();
    const int legend = fm.height() + 6;
    const int labels = fm.height() + 4;
    const int axis = fm.horizontalAdvance(u"0000"_s) + 6;
    const QRect plot = rect().adjusted(axis, legend, -8, -labels);
    if (m_days.empty() || plot.width() <= 0 || plot.height() <= 0)
        return;

    int highest = 1;
    for (const DayCount &d : m_days)
        highest = std::max(highest, d.right + d.wrong);

    // Legend above the plot.
    int x = plot.left();
    for (const auto &[colour, caption] : { std::pair { kRightColour, m_rightCaption },
                                           std::pair { kWrongColour, m_wrongCaption } }) {
        p.fillRect(QRect(x, 4, 12, 12), colour);
        p.setPen(palette().text().color());
        p.drawText(x + 16, 4 + fm.ascent(), caption);
        x += 16 + fm.horizontalAdvance(caption) + 16;
    }

    p.setPen(palette().mid().color());
    p.drawLine(plot.bottomLeft(), plot.bottomRight());
    p.setPen(palette().text().color());
    p.drawText(QRect(0, plot.top() - fm.height() / 2, axis - 4, fm.height()),
               Qt::AlignRight | Qt::AlignVCenter, QString::number(highest));
    p.drawText(QRect(0, plot.bottom() - fm.height() / 2, axis - 4, fm.height()),
               Qt::AlignRight | Qt::AlignVCenter, u"0"_s);

    const int n = static_cast<int>(m_days.size());
    const double slot = static_cast<double>(plot.width()) / n;
    const int bar = std::max(1, static_cast<int>(slot * 0.7));
    for (int i = 0; i < n; ++i) {
        const DayCount &d = m_days[static_cast<size_t>(i)];
        const int left = plot.left() + static_cast<int>(i * slot + (slot - bar) / 2);
        const int rightHeight = plot.height() * d.right / highest;
        const int wrongHeight = plot.height() * d.wrong / highest;
        p.fillRect(QRect(left, plot.bottom() - rightHeight + 1, bar, rightHeight), kRightColour);
        p.fillRect(QRect(left, plot.bottom() - rightHeight - wrongHeight + 1, bar, wrongHeight),
                   kWrongColour);
        // A date under every seventh column, the last day always.
        if ((n - 1 - i) % 7 == 0) {
            const QString label = d.day.toString(u"dd.MM"_s);
            p.drawText(QRect(left + bar / 2 - 30, plot.bottom() + 2, 60, labels),
                       Qt::AlignHCenter | Qt::AlignTop, label);
        }
    }
}

} // namespace zarel::learning

namespace {

// A cell that sorts by a number (or a time) while showing text.
class SortItem : public QTableWidgetItem
{
public:
    SortItem(const QString &text, qint64 key)
        : QTableWidgetItem(text)
        , m_key(key)
    {
        setFlags(flags() & ~Qt::ItemIsEditable);
    }
    bool operator<(const QTableWidgetItem &other) const override
    {
        if (const auto *o = dynamic_cast<const SortItem *>(&other))
            return m_key < o->m_key;
        return QTableWidgetItem::operator<(other);
    }

private:
    qint64 m_key;
};

} // namespace

TLearningProgress::TLearningProgress(const zarel::methods::MethodHost &host, bool english,
                                     QWidget *parent)
    : QDialog(parent)
    , m_host(host)
    , m_english(english)
{
    const auto say = [english](const QString &turkish, const QString &inEnglish) {
        return english ? inEnglish : turkish;
    };
    setWindowTitle(say(u"Öğrenme durumu"_s, u"Learning progress"_s));
    setAttribute(Qt::WA_DeleteOnClose, false);

    Label1 = new QLabel(this);
    Label1->setWordWrap(true);
    Label1->hide();
    Grid1 = new QTableWidget(0, ColCount, this);
    Grid1->setHorizontalHeaderLabels({ say(u"Kelime"_s, u"Word"_s), say(u"Kutu"_s, u"Box"_s),
                                       say(u"Doğru"_s, u"Right"_s), say(u"Yanlış"_s, u"Wrong"_s),
                                       say(u"Son çalışma"_s, u"Last practised"_s),
                                       say(u"Sonraki tekrar"_s, u"Next due"_s) });
    Grid1->verticalHeader()->hide();
    Grid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    Grid1->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    Grid1->horizontalHeader()->setStretchLastSection(true);
    // List order until the user clicks a column heading.
    Grid1->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    Label2 = new QLabel(say(u"Son 30 günün cevapları"_s, u"Answers of the last 30 days"_s), this);
    Chart1 = new zarel::learning::TAnswerChart(this);
    Button1 = new QPushButton(say(u"Kapat"_s, u"Close"_s), this);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(Grid1, 3);
    layout->addWidget(Label2);
    layout->addWidget(Chart1, 2);
    layout->addWidget(Button1, 0, Qt::AlignRight);
    resize(760, 600);

    connect(Button1, &QPushButton::clicked, this, &TLearningProgress::accept);
    refresh();
}

void TLearningProgress::refresh()
{
    using namespace zarel::learning;
    LearningHistory &history = zarel::methods::learningHistory(m_host);
    const QString notice = takeHistoryNotice(history, m_english);
    Label1->setText(notice);
    Label1->setVisible(!notice.isEmpty());

    const std::vector<WordKey> keys = zarel::methods::listKeys(m_host);
    const auto states = history.wordStates(keys);
    const qint64 now = nowSeconds();
    const QString never = u"-"_s;
    const auto when
        = [](qint64 t) { return QDateTime::fromSecsSinceEpoch(t).toString(u"yyyy-MM-dd HH:mm"_s); };

    Grid1->setSortingEnabled(false);
    Grid1->setRowCount(static_cast<int>(keys.size()));
    for (int row = 0; row < static_cast<int>(keys.size()); ++row) {
        const auto &s = states[static_cast<size_t>(row)];
        const QString word = zarel::methods::shownEntry(m_host, row);
        auto *wordItem = new QTableWidgetItem(word);
        wordItem->setFlags(wordItem->flags() & ~Qt::ItemIsEditable);
        Grid1->setItem(row, ColWord, wordItem);
        if (!s) {
            Grid1->setItem(row, ColBox, new SortItem(never, 0));
            Grid1->setItem(row, ColRight, new SortItem(u"0"_s, 0));
            Grid1->setItem(row, ColWrong, new SortItem(u"0"_s, 0));
            Grid1->setItem(row, ColLast, new SortItem(never, 0));
            Grid1->setItem(row, ColDue, new SortItem(never, 0));
            continue;
        }
        Grid1->setItem(row, ColBox, new SortItem(QString::number(s->box), s->box));
        Grid1->setItem(row, ColRight, new SortItem(QString::number(s->right), s->right));
        Grid1->setItem(row, ColWrong, new SortItem(QString::number(s->wrong), s->wrong));
        Grid1->setItem(row, ColLast, new SortItem(when(s->lastAnswer), s->lastAnswer));
        auto *due = new SortItem(when(s->due), s->due);
        if (isDue(*s, now))
            due->setForeground(QColor(205, 55, 55));
        Grid1->setItem(row, ColDue, due);
    }
    Grid1->setSortingEnabled(true);

    const QDate today = QDateTime::fromSecsSinceEpoch(now).date();
    const qint64 since
        = QDateTime(today.addDays(-(kChartDays - 1)), QTime(0, 0)).toSecsSinceEpoch();
    Chart1->setDays(answersPerDay(history.answersSince(since), today, kChartDays),
                    m_english ? u"Right"_s : u"Doğru"_s, m_english ? u"Wrong"_s : u"Yanlış"_s);
}
