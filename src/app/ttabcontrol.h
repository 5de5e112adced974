// TTabControl: a tab strip of narrow picture tabs over a page on which other controls lie
// (the letter tabs of the main window with the word box on their page).
#pragma once

#include <QTabBar>
#include <QWidget>

// The strip of TTabControl: every tab has the same fixed width and shows only its picture
// centred; the caption is kept as the tab's text but not drawn. Scroll buttons appear when
// the tabs do not fit.
class TLetterTabBar : public QTabBar
{
    Q_OBJECT
public:
    explicit TLetterTabBar(QWidget *parent = nullptr);

    void setTabWidth(int width);
    int tabWidth() const { return m_tabWidth; }

protected:
    QSize tabSizeHint(int index) const override;
    QSize minimumTabSizeHint(int index) const override;
    void paintEvent(QPaintEvent *event) override;

private:
    int m_tabWidth = 18;
};

class TTabControl : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kStripHeight = 22;

    explicit TTabControl(QWidget *parent = nullptr);

    TLetterTabBar *tabBar() const { return m_bar; }
    int count() const { return m_bar->count(); }
    int tabIndex() const { return m_bar->currentIndex(); }
    // Selects a tab from code: no change signal is emitted. An index outside the tabs is
    // ignored and the current tab stays.
    void setTabIndex(int index);
    // Appends a tab showing `picture`, with `caption` as its (hidden) text.
    int addTab(const QIcon &picture, const QString &caption);

signals:
    // The user selected another tab.
    void change();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    TLetterTabBar *m_bar;
};
