// ComboKeys: key events of the word box translated for the lookup handlers.
#include "app/combokeys.h"

#include "controls/cp1254text.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyleHints>

int virtualKeyOf(int qtKey)
{
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return qtKey; // 'A'..'Z'
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return qtKey; // '0'..'9'
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return 112 + (qtKey - Qt::Key_F1);
    switch (qtKey) {
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Tab:
        return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return VirtualKey::Enter;
    case Qt::Key_Shift:
        return 16;
    case Qt::Key_Control:
        return VirtualKey::Control;
    case Qt::Key_Alt:
        return 18;
    case Qt::Key_Escape:
        return VirtualKey::Escape;
    case Qt::Key_Space:
        return VirtualKey::Space;
    case Qt::Key_PageUp:
        return 33;
    case Qt::Key_PageDown:
        return 34;
    case Qt::Key_End:
        return 35;
    case Qt::Key_Home:
        return 36;
    case Qt::Key_Left:
        return 37;
    case Qt::Key_Up:
        return 38;
    case Qt::Key_Right:
        return 39;
    case Qt::Key_Down:
        return VirtualKey::Down;
    case Qt::Key_Insert:
        return 45;
    case Qt::Key_Delete:
        return 46;
    default:
        return 0;
    }
}

namespace {

ShiftState shiftStateOf(const QKeyEvent *event)
{
    ShiftState s;
    Qt::KeyboardModifiers m = event->modifiers();
    // The modifier key itself is part of the state while it is held.
    if (event->type() == QEvent::KeyPress) {
        if (event->key() == Qt::Key_Control)
            m |= Qt::ControlModifier;
        else if (event->key() == Qt::Key_Shift)
            m |= Qt::ShiftModifier;
        else if (event->key() == Qt::Key_Alt)
            m |= Qt::AltModifier;
    }
    s.shift = m & Qt::ShiftModifier;
    s.ctrl = m & Qt::ControlModifier;
    s.alt = m & Qt::AltModifier;
    s.mouseButton = QApplication::mouseButtons() != Qt::NoButton;
    return s;
}

} // namespace

ComboKeys::ComboKeys(QComboBox *combo, QObject *parent)
    : QObject(parent)
    , m_combo(combo)
{
    const int rate = QGuiApplication::styleHints()->keyboardAutoRepeatRate();
    m_repeatInterval = rate > 0 ? 1000 / rate : 33;
    connect(&m_repeat, &QTimer::timeout, this, &ComboKeys::repeatCtrl);
    // Keys reach the box itself when it has the focus (it hands them on to its edit field
    // directly), and the edit field when they are sent to it.
    combo->installEventFilter(this);
    if (combo->lineEdit())
        combo->lineEdit()->installEventFilter(this);
}

bool ComboKeys::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut) {
        // A Ctrl release that happens elsewhere is never seen: stop stepping.
        m_ctrlHeld = false;
        m_repeat.stop();
    }
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
        return QObject::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    return handleEditKey(key, event->type() == QEvent::KeyPress);
}

bool ComboKeys::handleEditKey(QKeyEvent *event, bool press)
{
    const int vk = virtualKeyOf(event->key());
    const ShiftState shift = shiftStateOf(event);
    if (!press) {
        if (event->isAutoRepeat())
            return false;
        if (event->key() == Qt::Key_Control) {
            m_ctrlHeld = false;
            m_repeat.stop();
        }
        Q_EMIT keyUp(vk, shift);
        return false;
    }

    if (event->key() == Qt::Key_Control) {
        if (event->isAutoRepeat()) {
            // The platform repeats Ctrl itself; the emulation is not needed.
            m_platformRepeats = true;
            m_repeat.stop();
        } else if (!m_platformRepeats) {
            m_ctrlHeld = true;
            m_repeat.start(m_repeatDelay);
        }
    } else {
        m_ctrlHeld = false;
        m_repeat.stop();
    }

    Q_EMIT keyDown(vk, shift);
    if (vk == VirtualKey::Enter) {
        // The edit field does nothing with Enter; the handlers own it completely.
        Q_EMIT keyPress(VirtualKey::Enter);
        return true;
    }
    // The character typed, in code page 1254; Enter types a carriage return. Control
    // characters (Backspace, Escape, Ctrl+letter) are editing keys, not letters: they never
    // start a new word on another tab.
    const QString text = event->text();
    if (!text.isEmpty() && !shift.ctrl) {
        const std::string bytes = zarel::app::toCp1254(text.left(1));
        const auto c = static_cast<unsigned char>(bytes.empty() ? 0 : bytes[0]);
        if (c != 0 && (c >= 32 || c == VirtualKey::Enter))
            Q_EMIT keyPress(c);
    }
    return false;
}

void ComboKeys::repeatCtrl()
{
    if (!m_ctrlHeld) {
        m_repeat.stop();
        return;
    }
    m_repeat.setInterval(m_repeatInterval);
    ShiftState s;
    s.ctrl = true;
    s.mouseButton = QApplication::mouseButtons() != Qt::NoButton;
    Q_EMIT keyDown(VirtualKey::Control, s);
}
