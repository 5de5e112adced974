// TTabControl and its strip of fixed-width picture tabs.
#include "app/ttabcontrol.h"

#include <QIcon>
#include <QPaintEvent>
#include <QSignalBlocker>
#include <QStyleOptionTab>
#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>

TLetterTabBar::TLetterTabBar(QWidget *parent)
    : QTabBar(parent)
{
    setUsesScrollButtons(true);
    setExpanding(false);
    setDrawBase(false);
    setElideMode(Qt::ElideNone);
    setIconSize(QSize(16, 16));
    setFocusPolicy(Qt::NoFocus);
}

void TLetterTabBar::setTabWidth(int width)
{
    m_tabWidth = width;
    updateGeometry();
    update();
}

QSize TLetterTabBar::tabSizeHint(int) const
{
    return QSize(m_tabWidth, TTabControl::kStripHeight);
}

QSize TLetterTabBar::minimumTabSizeHint(int index) const
{
    return tabSizeHint(index);
}

void TLetterTabBar::paintEvent(QPaintEvent *event)
{
    QStylePainter p(this);
    const int current = currentIndex();
    auto paintTab = [&](int i) {
        QStyleOptionTab opt;
        initStyleOption(&opt, i);
        if (!opt.rect.intersects(event->rect()))
            return;
        const QPixmap picture = tabIcon(i).pixmap(iconSize());
        opt.text.clear();
        opt.icon = QIcon();
        p.drawControl(QStyle::CE_TabBarTabShape, opt);
        const QPoint topLeft
            = opt.rect.center() - QPoint(iconSize().width() / 2 - 1, iconSize().height() / 2 - 1);
        p.drawPixmap(topLeft, picture);
    };
    for (int i = 0; i < count(); ++i) {
        if (i != current)
            paintTab(i);
    }
    // The selected tab overlaps its neighbours, so it is painted last.
    if (current >= 0)
        paintTab(current);
}

TTabControl::TTabControl(QWidget *parent)
    : QWidget(parent)
    , m_bar(new TLetterTabBar(this))
{
    connect(m_bar, &QTabBar::currentChanged, this, &TTabControl::change);
}

void TTabControl::setTabIndex(int index)
{
    if (index < 0 || index >= m_bar->count())
        return;
    const QSignalBlocker blocker(m_bar);
    m_bar->setCurrentIndex(index);
}

int TTabControl::addTab(const QIcon &picture, const QString &caption)
{
    const QSignalBlocker blocker(m_bar);
    return m_bar->addTab(picture, caption);
}

void TTabControl::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_bar->setGeometry(0, 0, width(), kStripHeight);
}

void TTabControl::paintEvent(QPaintEvent *)
{
    QStylePainter p(this);
    QStyleOptionTabWidgetFrame frame;
    frame.initFrom(this);
    frame.rect = QRect(0, kStripHeight - 1, width(), height() - kStripHeight + 1);
    frame.shape = QTabBar::RoundedNorth;
    p.drawPrimitive(QStyle::PE_FrameTabWidget, frame);
}
