// TRichEditDblClick: double click selects a word, then notifies.
#include "controls/tricheditdblclick.h"

#include <QMouseEvent>

TRichEditDblClick::TRichEditDblClick(QWidget *parent)
    : QTextEdit(parent)
{ }

void TRichEditDblClick::mouseDoubleClickEvent(QMouseEvent *event)
{
    QTextEdit::mouseDoubleClickEvent(event); // selects the word under the pointer
    if (event->button() == Qt::LeftButton)
        DblClick(LeftButtonDoubleClick);
}

void TRichEditDblClick::DblClick(int messageCode)
{
    if (messageCode == LeftButtonDoubleClick)
        Q_EMIT OnDblClick(this);
}
