// AlignLayout: docks child widgets to the edges of their parent in the order they were added,
// the way the designed panels stack (top strips, right-hand columns, the rest to one child).
#pragma once

#include <QLayout>
#include <QList>

// Top and Bottom children keep their height and take the full width of what is left; Left
// and Right children keep their width and take the full height; a Client child fills the
// rest. Hidden children take no room. The docking area is the parent's contents rectangle, so
// a framed panel's bevel is left free.
class AlignLayout : public QLayout
{
    Q_OBJECT
public:
    enum class Align { Top, Bottom, Left, Right, Client };

    explicit AlignLayout(QWidget *parent);
    ~AlignLayout() override;

    // Docks `widget` (a child of the layout's parent) at `align`; its current height (Top,
    // Bottom) or width (Left, Right) is the extent it keeps.
    void addAligned(QWidget *widget, Align align);
    // Changes the kept extent of a docked widget and lays the panel out again.
    void setExtent(QWidget *widget, int extent);

    void addItem(QLayoutItem *item) override;
    int count() const override;
    QLayoutItem *itemAt(int index) const override;
    QLayoutItem *takeAt(int index) override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    void setGeometry(const QRect &rect) override;

private:
    struct Docked
    {
        QLayoutItem *item;
        Align align;
        int extent;
    };
    QList<Docked> m_items;
};
