// TRichEditDblClick: the rich-text control whose double click first lets the text control select
// the word under the pointer, then raises OnDblClick.
#pragma once

#include <QTextEdit>

class TRichEditDblClick : public QTextEdit
{
    Q_OBJECT

public:
    explicit TRichEditDblClick(QWidget *parent = nullptr);

    // The message code of a left-button double click, as dispatched by DblClick().
    static constexpr int LeftButtonDoubleClick = 0x0203;

Q_SIGNALS:
    // Raised after the word under the pointer has been selected.
    void OnDblClick(QObject *sender);

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;

    // Dispatches a mouse message: for a left-button double click it raises OnDblClick.
    virtual void DblClick(int messageCode);
};
