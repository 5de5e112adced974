// AlignLayout: edge docking of child widgets in the order they were added.
#include "app/alignlayout.h"

#include <QWidget>
#include <QWidgetItem>

AlignLayout::AlignLayout(QWidget *parent)
    : QLayout(parent)
{
    setContentsMargins(0, 0, 0, 0);
    setSpacing(0);
}

AlignLayout::~AlignLayout()
{
    for (const Docked &d : std::as_const(m_items))
        delete d.item;
}

void AlignLayout::addAligned(QWidget *widget, Align align)
{
    addChildWidget(widget);
    const bool vertical = align == Align::Top || align == Align::Bottom;
    m_items.append(
        Docked { new QWidgetItem(widget), align, vertical ? widget->height() : widget->width() });
    invalidate();
}

void AlignLayout::setExtent(QWidget *widget, int extent)
{
    for (Docked &d : m_items) {
        if (d.item->widget() == widget)
            d.extent = extent;
    }
    invalidate();
    if (parentWidget())
        setGeometry(parentWidget()->contentsRect());
}

void AlignLayout::addItem(QLayoutItem *item)
{
    m_items.append(Docked { item, Align::Client, 0 });
}

int AlignLayout::count() const
{
    return static_cast<int>(m_items.size());
}

QLayoutItem *AlignLayout::itemAt(int index) const
{
    return index >= 0 && index < m_items.size() ? m_items.at(index).item : nullptr;
}

QLayoutItem *AlignLayout::takeAt(int index)
{
    if (index < 0 || index >= m_items.size())
        return nullptr;
    return m_items.takeAt(index).item;
}

QSize AlignLayout::sizeHint() const
{
    return parentWidget() ? parentWidget()->size() : QSize();
}

QSize AlignLayout::minimumSize() const
{
    return QSize(0, 0);
}

void AlignLayout::setGeometry(const QRect &rect)
{
    QLayout::setGeometry(rect);
    QRect area = rect.marginsRemoved(contentsMargins());
    for (const Docked &d : std::as_const(m_items)) {
        QWidget *w = d.item->widget();
        if (w && !w->isVisibleTo(parentWidget()))
            continue;
        QRect r;
        switch (d.align) {
        case Align::Top:
            r = QRect(area.left(), area.top(), area.width(), d.extent);
            area.setTop(area.top() + d.extent);
            break;
        case Align::Bottom:
            r = QRect(area.left(), area.bottom() + 1 - d.extent, area.width(), d.extent);
            area.setBottom(area.bottom() - d.extent);
            break;
        case Align::Left:
            r = QRect(area.left(), area.top(), d.extent, area.height());
            area.setLeft(area.left() + d.extent);
            break;
        case Align::Right:
            r = QRect(area.right() + 1 - d.extent, area.top(), d.extent, area.height());
            area.setRight(area.right() - d.extent);
            break;
        case Align::Client:
            r = area;
            break;
        }
        if (w)
            w->setGeometry(r);
        else
            d.item->setGeometry(r);
    }
}
