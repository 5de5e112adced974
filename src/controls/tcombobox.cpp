// TComboBox: the drop-down list as a window that never takes the keyboard.
#include "controls/tcombobox.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QScreen>

TComboBox::TComboBox(QWidget *parent)
    : QComboBox(parent)
{
    m_list = new QListView(nullptr);
    m_list->setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus
                           | Qt::WindowStaysOnTopHint);
    m_list->setAttribute(Qt::WA_ShowWithoutActivating);
    m_list->setFocusPolicy(Qt::NoFocus);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setUniformItemSizes(true);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setObjectName(QStringLiteral("ComboList"));
    connect(m_list, &QListView::clicked, this, &TComboBox::pick);
    // Should the window system hand the list the keyboard anyway, the keys still go to the box.
    m_list->installEventFilter(this);
}

TComboBox::~TComboBox()
{
    delete m_list;
}

bool TComboBox::isPopupVisible() const
{
    return m_list->isVisible();
}

void TComboBox::showPopup()
{
    if (count() <= 0)
        return;
    if (m_list->model() != model())
        m_list->setModel(model());
    m_list->setItemDelegate(itemDelegate());
    m_list->setFont(font());
    const int rowHeight = qMax(1, m_list->sizeHintForRow(0));
    const int rows = qMin(count(), qMax(1, maxVisibleItems()));
    const int frame = 2 * m_list->frameWidth();
    QPoint below = mapToGlobal(QPoint(0, height()));
    const QSize size(width(), rows * rowHeight + frame);
    // Open upwards when the screen has no room below.
    if (const QScreen *s = screen();
        s && below.y() + size.height() > s->availableGeometry().bottom())
        below.setY(mapToGlobal(QPoint(0, 0)).y() - size.height());
    m_list->setGeometry(QRect(below, size));
    if (window())
        window()->installEventFilter(this);
    m_list->show();
    syncPopupHighlight();
}

void TComboBox::hidePopup()
{
    if (window())
        window()->removeEventFilter(this);
    m_list->hide();
}

void TComboBox::syncPopupHighlight()
{
    if (!m_list->isVisible())
        return;
    const QModelIndex index = model()->index(currentIndex(), modelColumn(), rootModelIndex());
    m_list->setCurrentIndex(index);
    if (index.isValid())
        m_list->scrollTo(index, QAbstractItemView::PositionAtCenter);
    else
        m_list->clearSelection();
}

void TComboBox::pick(const QModelIndex &index)
{
    // A row of a list the box no longer holds names nothing in the current one.
    if (!index.isValid() || index.model() != model())
        return;
    hidePopup();
    setCurrentIndex(index.row());
    selectWholeText();
    Q_EMIT activated(index.row());
}

void TComboBox::selectWholeText()
{
    if (lineEdit())
        lineEdit()->selectAll();
}

void TComboBox::keyPressEvent(QKeyEvent *event)
{
    if (isPopupVisible() && (event->key() == Qt::Key_Escape || event->key() == Qt::Key_F4)) {
        hidePopup();
        event->accept();
        return;
    }
    const int before = currentIndex();
    QComboBox::keyPressEvent(event);
    if (currentIndex() == before)
        return;
    // The arrow and page keys choose an item as a click on it does; typed text that moves the
    // current item stays as typed.
    const int key = event->key();
    if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp
        || key == Qt::Key_PageDown)
        selectWholeText();
    syncPopupHighlight();
}

void TComboBox::focusOutEvent(QFocusEvent *event)
{
    hidePopup();
    QComboBox::focusOutEvent(event);
}

bool TComboBox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_list
        && (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)) {
        QCoreApplication::sendEvent(this, event);
        return true;
    }
    // The list belongs under the box: it closes when the window moves, hides or loses focus.
    if (watched == window()) {
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Hide:
        case QEvent::WindowDeactivate:
            hidePopup();
            break;
        default:
            break;
        }
    }
    return QComboBox::eventFilter(watched, event);
}
