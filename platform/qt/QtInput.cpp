#include "platform/qt/QtInput.h"

#include <QKeyEvent>

#include "core/Events.h"

uint16_t ClassicModifiers(Qt::KeyboardModifiers m) {
    uint16_t bits = 0;
    if (m & Qt::ControlModifier) bits |= kCmdKeyModifier;
    if (m & Qt::ShiftModifier) bits |= kShiftKeyModifier;
    if (m & Qt::AltModifier) bits |= kOptionKeyModifier;
    return bits;
}

uint32_t ClassicKeyMessage(const QKeyEvent* e) {
    uint8_t ch = 0, code = 0;
    switch (e->key()) {
        case Qt::Key_Left: ch = 28; break;
        case Qt::Key_Right: ch = 29; break;
        case Qt::Key_Up: ch = 30; break;
        case Qt::Key_Down: ch = 31; break;
        case Qt::Key_Backspace: ch = 8; break;
        default:
            // With Ctrl held the text is a control character (Ctrl+Q gives 17): the
            // menus look shortcuts up by the key itself.
            if ((e->modifiers() & Qt::ControlModifier) &&
                ((e->key() >= Qt::Key_A && e->key() <= Qt::Key_Z) || (e->key() >= Qt::Key_0 && e->key() <= Qt::Key_9)))
                ch = uint8_t(e->key() >= Qt::Key_A ? 'a' + (e->key() - Qt::Key_A) : '0' + (e->key() - Qt::Key_0));
            else if (!e->text().isEmpty())
                ch = uint8_t(e->text().at(0).toLatin1());
    }
    // The main keyboard's zoom keys (the keypad's own are told apart below).
    switch (e->key()) {
        case Qt::Key_Plus: case Qt::Key_Equal: code = kEqualKey; break;
        case Qt::Key_Minus: code = kMinusKey; break;
        case Qt::Key_PageUp: code = kPageUpKey; break;
        case Qt::Key_PageDown: code = kPageDownKey; break;
        default: break;
    }
    if (e->modifiers() & Qt::KeypadModifier) {
        code = 0;
        switch (e->key()) {
            case Qt::Key_Plus: code = kKeypadPlusKey; break;
            case Qt::Key_Minus: code = kKeypadMinusKey; break;
            case Qt::Key_2: case Qt::Key_Down: code = kKeypad2Key; ch = '2'; break;
            case Qt::Key_4: case Qt::Key_Left: code = kKeypad4Key; ch = '4'; break;
            case Qt::Key_6: case Qt::Key_Right: code = kKeypad6Key; ch = '6'; break;
            case Qt::Key_7: case Qt::Key_Home: code = kKeypad7Key; ch = '7'; break;
            case Qt::Key_8: case Qt::Key_Up: code = kKeypad8Key; ch = '8'; break;
            case Qt::Key_9: case Qt::Key_PageUp: code = kKeypad9Key; ch = '9'; break;
            default: break;
        }
    }
    return uint32_t(ch) | (uint32_t(code) << 8);
}

bool IsSteeringKeypadKey(const QKeyEvent* e) {
    return (e->modifiers() & Qt::KeypadModifier) && ((ClassicKeyMessage(e) >> 8) & 0xFF) != 0;
}
