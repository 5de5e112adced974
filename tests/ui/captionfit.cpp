// Measuring captions against the room their controls give them, with the rules by which the
// style lays out and draws each kind of control.
#include "captionfit.h"

#include <algorithm>

#include <QAbstractItemModel>
#include <QCheckBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOption>
#include <QTabBar>
#include <QToolButton>

#include "app/ttabcontrol.h"
#include "methods/methodsupport.h"

using namespace Qt::Literals::StringLiterals;

namespace {

// The style options of the controls are filled by protected members; a pointer to member named
// through a derived class reaches them without copying their rules.
struct PushButtonAccess : QPushButton
{
    static void init(const QPushButton *b, QStyleOptionButton *o)
    {
        (b->*&PushButtonAccess::initStyleOption)(o);
    }
};
struct ToolButtonAccess : QToolButton
{
    static void init(const QToolButton *b, QStyleOptionToolButton *o)
    {
        (b->*&ToolButtonAccess::initStyleOption)(o);
    }
};
struct CheckBoxAccess : QCheckBox
{
    static void init(const QCheckBox *b, QStyleOptionButton *o)
    {
        (b->*&CheckBoxAccess::initStyleOption)(o);
    }
};
struct RadioButtonAccess : QRadioButton
{
    static void init(const QRadioButton *b, QStyleOptionButton *o)
    {
        (b->*&RadioButtonAccess::initStyleOption)(o);
    }
};
struct GroupBoxAccess : QGroupBox
{
    static void init(const QGroupBox *b, QStyleOptionGroupBox *o)
    {
        (b->*&GroupBoxAccess::initStyleOption)(o);
    }
};
struct TabBarAccess : QTabBar
{
    static void init(const QTabBar *b, QStyleOptionTab *o, int index)
    {
        (b->*&TabBarAccess::initStyleOption)(o, index);
    }
};

// The spacing between a button's icon and its text, as the common style draws it.
constexpr int kIconSpacing = 4;

class Walker
{
public:
    explicit Walker(QWidget *window)
        : m_window(window)
    { }

    void walk()
    {
        const auto widgets = m_window->findChildren<QWidget *>();
        for (QWidget *w : widgets) {
            if (!w->isVisibleTo(m_window) || w->isWindow())
                continue;
            if (auto *label = qobject_cast<QLabel *>(w))
                checkLabel(label);
            else if (auto *button = qobject_cast<QPushButton *>(w))
                checkPushButton(button);
            else if (auto *glyph = qobject_cast<TGlyphButton *>(w))
                checkGlyphButton(glyph);
            else if (auto *tool = qobject_cast<QToolButton *>(w))
                checkToolButton(tool);
            else if (auto *check = qobject_cast<QCheckBox *>(w))
                checkIndicatorButton(check, QStyle::SE_CheckBoxContents, [check] {
                    QStyleOptionButton o;
                    CheckBoxAccess::init(check, &o);
                    return o;
                });
            else if (auto *radio = qobject_cast<QRadioButton *>(w))
                checkIndicatorButton(radio, QStyle::SE_RadioButtonContents, [radio] {
                    QStyleOptionButton o;
                    RadioButtonAccess::init(radio, &o);
                    return o;
                });
            else if (auto *group = qobject_cast<QGroupBox *>(w))
                checkGroupBox(group);
            else if (auto *header = qobject_cast<QHeaderView *>(w))
                checkHeader(header);
            else if (auto *bar = qobject_cast<QTabBar *>(w))
                checkTabBar(bar);
        }
    }

    zarel::test::CaptionReport report;

private:
    static QString name(const QWidget *w)
    {
        if (!w->objectName().isEmpty())
            return w->objectName();
        QString n = QString::fromLatin1(w->metaObject()->className());
        if (const QWidget *p = w->parentWidget())
            n += u" in "_s + name(p);
        return n;
    }

    static QString sizeText(QSize s) { return u"%1x%2"_s.arg(s.width()).arg(s.height()); }

    static QSize textSize(const QFontMetrics &fm, const QString &text)
    {
        return fm.boundingRect(QRect(0, 0, 100000, 100000), Qt::TextShowMnemonic, text).size();
    }

    // The part of `w` (in window coordinates) that its parents leave on show inside their
    // frames: a caption drawn over a panel's bevel cannot be read whole either.
    QRect visibleArea(const QWidget *w) const
    {
        QRect area(w->mapTo(m_window, QPoint(0, 0)), w->size());
        for (const QWidget *p = w->parentWidget(); p != nullptr; p = p->parentWidget()) {
            const QRect inside = p->contentsRect();
            area &= QRect(p->mapTo(m_window, inside.topLeft()), inside.size());
            if (p == m_window)
                break;
        }
        return area;
    }

    // Compares the room `room` (in the coordinates of `w`) with the size `needed` of the text
    // placed in it by `alignment`, and the placed text with what the parents leave on show.
    void compare(const QWidget *w, const QString &what, const QString &text, QSize needed,
                 QRect room, Qt::Alignment alignment)
    {
        ++report.measured;
        if (needed.width() > room.width() || needed.height() > room.height()) {
            report.clipped.append(u"%1 \"%2\": needs %3, has %4"_s.arg(what, text, sizeText(needed),
                                                                       sizeText(room.size())));
            return;
        }
        const QRect placed = QStyle::alignedRect(w->layoutDirection(), alignment, needed, room);
        const QRect inWindow(w->mapTo(m_window, placed.topLeft()), placed.size());
        const QRect shown = visibleArea(w);
        if (shown.isEmpty())
            return; // the control lies wholly outside its parents: nothing of it is on show
        if (!shown.contains(inWindow)) {
            report.clipped.append(
                u"%1 \"%2\": runs past its parent (text at %3,%4 %5, shown %6,%7 %8)"_s
                    .arg(what, text)
                    .arg(inWindow.x())
                    .arg(inWindow.y())
                    .arg(sizeText(inWindow.size()))
                    .arg(shown.x())
                    .arg(shown.y())
                    .arg(sizeText(shown.size())));
        }
    }

    void checkLabel(QLabel *label)
    {
        if (label->text().isEmpty())
            return;
        // The label's own size rules count its frame, margin and indent; a word-wrapped label
        // needs its longest word across and its wrapped lines down.
        QSize needed = label->sizeHint();
        if (label->wordWrap()) {
            needed.setWidth(label->minimumSizeHint().width());
            needed.setHeight(label->heightForWidth(label->width()));
        }
        compare(label, name(label), label->text(), needed, label->rect(), label->alignment());
    }

    void checkPushButton(QPushButton *button)
    {
        if (button->text().isEmpty())
            return;
        QStyleOptionButton o;
        PushButtonAccess::init(button, &o);
        const QRect room
            = button->style()->subElementRect(QStyle::SE_PushButtonContents, &o, button);
        QSize needed = textSize(button->fontMetrics(), button->text());
        if (!o.icon.isNull()) {
            const QSize icon = o.icon.actualSize(o.iconSize);
            needed = QSize(needed.width() + kIconSpacing + icon.width(),
                           std::max(needed.height(), icon.height()));
        }
        compare(button, name(button), button->text(), needed, room, Qt::AlignCenter);
    }

    void checkToolButton(QToolButton *button)
    {
        if (button->text().isEmpty())
            return;
        QStyleOptionToolButton o;
        ToolButtonAccess::init(button, &o);
        QStyle *style = button->style();
        const int frame = style->pixelMetric(QStyle::PM_DefaultFrameWidth, &o, button);
        const QRect area
            = style->subControlRect(QStyle::CC_ToolButton, &o, QStyle::SC_ToolButton, button)
                  .adjusted(frame, frame, -frame, -frame);
        const QSize text = textSize(button->fontMetrics(), button->text());
        const bool arrow = o.features & QStyleOptionToolButton::Arrow;
        if ((!arrow && o.icon.isNull()) || o.toolButtonStyle == Qt::ToolButtonTextOnly) {
            compare(button, name(button), button->text(), text, area, Qt::AlignCenter);
            return;
        }
        if (o.toolButtonStyle == Qt::ToolButtonIconOnly)
            return; // the caption is not drawn
        const QSize icon
            = arrow ? o.iconSize : o.icon.actualSize(area.size().boundedTo(o.iconSize));
        QRect room = area;
        if (o.toolButtonStyle == Qt::ToolButtonTextUnderIcon) {
            room.adjust(0, icon.height() + kIconSpacing - 1, 0, -1);
            compare(button, name(button), button->text(), text, room, Qt::AlignCenter);
        } else {
            room.adjust(icon.width() + kIconSpacing, 0, 0, 0);
            compare(button, name(button), button->text(), text, room,
                    Qt::AlignLeft | Qt::AlignVCenter);
        }
    }

    // A glyph button breaks its caption at blanks: each word must fit across, the lines down.
    void checkGlyphButton(TGlyphButton *button)
    {
        if (button->text().isEmpty())
            return;
        const QRect room = button->captionRect();
        const QFontMetrics fm = button->fontMetrics();
        QSize needed = fm.boundingRect(room, TGlyphButton::kCaptionFlags, button->text()).size();
        static const QRegularExpression blanks(u"\\s+"_s);
        for (const QString &word : button->text().split(blanks, Qt::SkipEmptyParts))
            needed.setWidth(std::max(needed.width(), textSize(fm, word).width()));
        compare(button, name(button), button->text(), needed, room, Qt::AlignCenter);
    }

    template<class Button, class Init>
    void checkIndicatorButton(Button *button, QStyle::SubElement contents, Init init)
    {
        if (button->text().isEmpty())
            return;
        const QStyleOptionButton o = init();
        const QRect room = button->style()->subElementRect(contents, &o, button);
        QSize needed = textSize(button->fontMetrics(), button->text());
        if (!o.icon.isNull())
            needed.rwidth() += o.iconSize.width() + kIconSpacing;
        compare(button, name(button), button->text(), needed, room,
                Qt::AlignLeft | Qt::AlignVCenter);
    }

    void checkGroupBox(QGroupBox *group)
    {
        if (group->title().isEmpty())
            return;
        QStyleOptionGroupBox o;
        GroupBoxAccess::init(group, &o);
        QStyle *style = group->style();
        QRect title
            = style->subControlRect(QStyle::CC_GroupBox, &o, QStyle::SC_GroupBoxLabel, group);
        if (group->isCheckable())
            title |= style->subControlRect(QStyle::CC_GroupBox, &o, QStyle::SC_GroupBoxCheckBox,
                                           group);
        compare(group, name(group), group->title(), title.size(), title.intersected(group->rect()),
                Qt::AlignLeft | Qt::AlignTop);
    }

    void checkHeader(QHeaderView *header)
    {
        const QAbstractItemModel *model = header->model();
        if (model == nullptr)
            return;
        QWidget *viewport = header->viewport();
        for (int visual = 0; visual < header->count(); ++visual) {
            const int logical = header->logicalIndex(visual);
            if (header->isSectionHidden(logical))
                continue;
            const QString text
                = model->headerData(logical, header->orientation(), Qt::DisplayRole).toString();
            if (text.isEmpty())
                continue;
            const int start = header->sectionViewportPosition(logical);
            const int size = header->sectionSize(logical);
            QStyleOptionHeader o;
            o.initFrom(header);
            o.rect = header->orientation() == Qt::Horizontal
                ? QRect(start, 0, size, viewport->height())
                : QRect(0, start, viewport->width(), size);
            o.text = text;
            o.section = logical;
            o.orientation = header->orientation();
            o.textAlignment = header->defaultAlignment();
            const QRect room = header->style()->subElementRect(QStyle::SE_HeaderLabel, &o, header);
            compare(viewport, u"%1 section %2"_s.arg(name(header)).arg(logical), text,
                    textSize(header->fontMetrics(), text), room, header->defaultAlignment());
        }
    }

    void checkTabBar(QTabBar *bar)
    {
        // The letter tabs draw a picture of their letter; their captions are never drawn.
        if (qobject_cast<TLetterTabBar *>(bar) != nullptr)
            return;
        for (int i = 0; i < bar->count(); ++i) {
            if (!bar->isTabVisible(i) || bar->tabText(i).isEmpty()
                || !bar->rect().intersects(bar->tabRect(i)))
                continue;
            QStyleOptionTab o;
            TabBarAccess::init(bar, &o, i);
            const QRect room = bar->style()->subElementRect(QStyle::SE_TabBarTabText, &o, bar);
            compare(bar, u"%1 tab %2"_s.arg(name(bar)).arg(i), bar->tabText(i),
                    textSize(bar->fontMetrics(), bar->tabText(i)), room, Qt::AlignCenter);
        }
    }

    QWidget *m_window;
};

} // namespace

namespace zarel::test {

CaptionReport measureCaptions(QWidget *window)
{
    Walker walker(window);
    walker.walk();
    return walker.report;
}

QString resolvedFamily(const QString &requested, int pixelSize)
{
    QFont font(requested);
    font.setPixelSize(pixelSize);
    return QFontInfo(font).family();
}

} // namespace zarel::test
