// ComboKeys: turns Qt's key events on the word box into the three events the lookup handlers
// expect (key down with a virtual key code and shift state, a code-page-1254 character typed,
// key up), and keeps Ctrl stepping through the headwords at the keyboard's repeat rate where the
// platform does not repeat modifier keys.
#pragma once

#include <QObject>
#include <QTimer>

class QComboBox;
class QKeyEvent;

// Shift state of a key event, as the handlers test it.
struct ShiftState
{
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
    bool mouseButton = false;

    bool onlyCtrl() const { return ctrl && !shift && !alt && !mouseButton; }
    bool onlyAlt() const { return alt && !shift && !ctrl && !mouseButton; }
};

// Virtual key codes of the keys the handlers name.
namespace VirtualKey {
inline constexpr int Enter = 13;
inline constexpr int Control = 17;
inline constexpr int Escape = 27;
inline constexpr int Space = 32;
inline constexpr int Down = 40;
inline constexpr int F4 = 115;
} // namespace VirtualKey

// The virtual key code of a Qt key (letters and digits by their upper-case ASCII code, the
// keys above by their codes, other keys by the platform's values); 0 when it has none.
int virtualKeyOf(int qtKey);

class ComboKeys : public QObject
{
    Q_OBJECT

public:
    // Watches the box and its edit field.
    explicit ComboKeys(QComboBox *combo, QObject *parent = nullptr);

    // Time before the emulated Ctrl repeat starts, and its interval.
    int repeatDelay() const { return m_repeatDelay; }
    int repeatInterval() const { return m_repeatInterval; }
    // True while a held Ctrl key is being repeated here.
    bool repeating() const { return m_repeat.isActive(); }

Q_SIGNALS:
    void keyDown(int virtualKey, ShiftState shift);
    void keyPress(unsigned char character);
    void keyUp(int virtualKey, ShiftState shift);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool handleEditKey(QKeyEvent *event, bool press);
    void repeatCtrl();

    QComboBox *m_combo;
    QTimer m_repeat;
    int m_repeatDelay = 500;
    int m_repeatInterval = 33;
    bool m_platformRepeats = false;
    bool m_ctrlHeld = false;
};
