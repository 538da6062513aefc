#include "platform/qt/QtModalDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <functional>

#include "core/EventLoop.h"
#include "platform/DialogKeys.h"
#include "platform/qt/QtInput.h"
#include "platform/qt/QtText.h"

namespace {

// The logic sets a check box's value after a hit; a click must not flip it first.
class LogicCheckBox : public QCheckBox {
public:
    using QCheckBox::QCheckBox;

protected:
    void nextCheckState() override {}
    // The whole item box is the check box, not only its mark and title.
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
};

// Shows pixels the logic drew; a press is a hit.
class UserItemView : public QWidget {
public:
    UserItemView(QWidget* parent, const QImage* pixels, std::function<void()> pressed)
        : QWidget(parent), pixels_(pixels), pressed_(std::move(pressed)) {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.drawImage(0, 0, *pixels_);
    }
    void mousePressEvent(QMouseEvent* e) override {
        if (e->button() == Qt::LeftButton) pressed_();
    }

private:
    const QImage* pixels_;
    std::function<void()> pressed_;
};

// Buttons and check boxes show '&' as it is, not as a mnemonic mark.
QString TitleText(const std::string& text) { return PlatformText(text).replace('&', "&&"); }

Qt::Alignment AlignmentFor(TextJustify justify) {
    const Qt::Alignment horizontal = justify == TextJustify::Center  ? Qt::AlignHCenter
                                     : justify == TextJustify::Right ? Qt::AlignRight
                                                                     : Qt::AlignLeft;
    return horizontal | Qt::AlignVCenter;
}

// A label wider than its box is shown in a smaller type rather than cut off.
void SetLabelText(QLabel* label, const QString& text) {
    QFont f = label->parentWidget()->font();
    const int available = label->width();
    while (f.pixelSize() > 9 && QFontMetrics(f).horizontalAdvance(text) > available) f.setPixelSize(f.pixelSize() - 1);
    label->setFont(f);
    label->setText(text);
}

// The dialog key filter the logic registered decides: 1 for Return/Enter, 2 for Escape and command-period, else 0.
int16_t DialogKeyItem(const QKeyEvent* e) {
    EventRecord r{};
    r.what = kKeyDownEvent;
    r.message = ClassicKeyMessage(e);
    if ((r.message & 0xFF) == 0 && e->key() == Qt::Key_Period) r.message |= '.';  // control keys may carry no text
    r.modifiers = ClassicModifiers(e->modifiers());
    int16_t item = 0;
    const DialogKeyFilter filter = RegisteredDialogKeyFilter();
    return filter && filter(r, item) ? item : 0;
}

bool IsDialogKey(const QKeyEvent* e) { return DialogKeyItem(e) != 0; }

}  // namespace

QtModalDialog::QtModalDialog(const DialogLayout& layout, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint),
      layout_(layout) {
    setWindowTitle(PlatformText(layout.title));
    setWindowModality(Qt::ApplicationModal);
    QFont f = font();
    f.setPixelSize(12);
    setFont(f);
    setFixedSize(std::max<int>(layout.width, 1), std::max<int>(layout.height, 1));
    for (const DialogItem& item : layout.items) AddItem(item);
}

QtModalDialog::~QtModalDialog() = default;

void QtModalDialog::AddItem(const DialogItem& item) {
    if (items_.count(item.number)) return;  // the first of two equal numbers wins
    const QRect box(item.box.left, item.box.top, std::max(item.box.right - item.box.left, 0),
                    std::max(item.box.bottom - item.box.top, 0));
    const int16_t number = item.number;
    Item entry{item.kind, nullptr, QImage()};
    switch (item.kind) {
        case DialogItemKind::Button: {
            auto* button = new QPushButton(TitleText(item.text), this);
            button->setAutoDefault(false);
            button->setDefault(number == layout_.defaultItem);
            connect(button, &QPushButton::clicked, this, [this, number] { Hit(number); });
            entry.widget = button;
            break;
        }
        case DialogItemKind::CheckBox: {
            auto* box = new LogicCheckBox(TitleText(item.text), this);
            connect(box, &QCheckBox::clicked, this, [this, number] { Hit(number); });
            entry.widget = box;
            break;
        }
        case DialogItemKind::EditText: {
            auto* edit = new QLineEdit(PlatformText(item.text), this);
            edit->setAlignment(AlignmentFor(item.justify));
            connect(edit, &QLineEdit::textEdited, this, [this] { Hit(0); });
            entry.widget = edit;
            break;
        }
        case DialogItemKind::StaticText: {
            auto* label = new QLabel(this);
            label->setTextFormat(Qt::PlainText);
            label->setAlignment(AlignmentFor(item.justify));
            label->setWordWrap(box.height() > 20);  // a box of several lines takes a long text in them
            entry.widget = label;
            break;
        }
        case DialogItemKind::UserItem: {
            entry.pixels = QImage(std::max(box.width(), 1), std::max(box.height(), 1), QImage::Format_RGB32);
            entry.pixels.fill(Qt::white);
            break;
        }
    }
    auto [it, added] = items_.emplace(number, std::move(entry));
    if (it->second.kind == DialogItemKind::UserItem)  // the view keeps the image's address: create it in place
        it->second.widget = new UserItemView(this, &it->second.pixels, [this, number] { Hit(number); });
    it->second.widget->setGeometry(box);
    if (auto* label = qobject_cast<QLabel*>(it->second.widget)) SetLabelText(label, PlatformText(item.text));
    it->second.widget->setObjectName(QString("item-%1").arg(number));
    it->second.widget->installEventFilter(this);
}

const QtModalDialog::Item* QtModalDialog::Find(int16_t item) const {
    auto it = items_.find(item);
    return it == items_.end() ? nullptr : &it->second;
}

QWidget* QtModalDialog::ItemWidget(int16_t item) const {
    const Item* i = Find(item);
    return i ? i->widget : nullptr;
}

std::string QtModalDialog::ItemText(int16_t item) {
    const Item* i = Find(item);
    if (!i) return {};
    switch (i->kind) {
        case DialogItemKind::EditText: return LogicText(static_cast<QLineEdit*>(i->widget)->text());
        case DialogItemKind::StaticText: return LogicText(static_cast<QLabel*>(i->widget)->text());
        case DialogItemKind::Button:
        case DialogItemKind::CheckBox:
            return LogicText(static_cast<QAbstractButton*>(i->widget)->text().replace("&&", "&"));
        case DialogItemKind::UserItem: return {};
    }
    return {};
}

void QtModalDialog::SetItemText(int16_t item, const std::string& text) {
    const Item* i = Find(item);
    if (!i) return;
    switch (i->kind) {
        case DialogItemKind::EditText: {
            auto* edit = static_cast<QLineEdit*>(i->widget);
            edit->setText(PlatformText(text));
            edit->setCursorPosition(0);  // a long number shows its leading digits, not its tail
            break;
        }
        case DialogItemKind::StaticText: SetLabelText(static_cast<QLabel*>(i->widget), PlatformText(text)); break;
        case DialogItemKind::Button:
        case DialogItemKind::CheckBox: static_cast<QAbstractButton*>(i->widget)->setText(TitleText(text)); break;
        case DialogItemKind::UserItem: break;
    }
}

void QtModalDialog::SelectItemText(int16_t item) {
    const Item* i = Find(item);
    if (!i || i->kind != DialogItemKind::EditText) return;
    auto* edit = static_cast<QLineEdit*>(i->widget);
    edit->setFocus(Qt::OtherFocusReason);
    edit->selectAll();
}

void QtModalDialog::SetItemEnabled(int16_t item, bool enabled) {
    if (const Item* i = Find(item)) i->widget->setEnabled(enabled);
}

bool QtModalDialog::ItemValue(int16_t item) {
    const Item* i = Find(item);
    return i && i->kind == DialogItemKind::CheckBox && static_cast<QCheckBox*>(i->widget)->isChecked();
}

void QtModalDialog::SetItemValue(int16_t item, bool on) {
    const Item* i = Find(item);
    if (i && i->kind == DialogItemKind::CheckBox) static_cast<QCheckBox*>(i->widget)->setChecked(on);
}

PixelSurface QtModalDialog::UserItemSurface(int16_t item) {
    auto it = items_.find(item);
    if (it == items_.end() || it->second.kind != DialogItemKind::UserItem) return PixelSurface{};
    QImage& pixels = it->second.pixels;
    return PixelSurface{reinterpret_cast<uint32_t*>(pixels.bits()), int32_t(pixels.bytesPerLine()), pixels.width(),
                        pixels.height()};
}

void QtModalDialog::SetItemTip(int16_t item, const std::string& text) {
    if (const Item* i = Find(item)) i->widget->setToolTip(PlatformText(text));
}

void QtModalDialog::PresentUserItem(int16_t item) {
    const Item* i = Find(item);
    if (i && i->kind == DialogItemKind::UserItem) i->widget->update();
}

int16_t QtModalDialog::PopUpMenu(int16_t item, const std::vector<std::string>& entries, int16_t checked) {
    const Item* i = Find(item);
    if (!i || entries.empty()) return 0;
    QMenu menu(this);
    for (size_t k = 0; k < entries.size(); ++k) {
        if (entries[k] == "-") {
            menu.addSeparator();
            continue;
        }
        QAction* action = menu.addAction(PlatformText(entries[k]));
        action->setData(int(k + 1));
        if (int(k + 1) == checked) {
            action->setCheckable(true);
            action->setChecked(true);
        }
    }
    const QAction* chosen = menu.exec(i->widget->mapToGlobal(QPoint(1, 1)));
    return chosen ? int16_t(chosen->data().toInt()) : int16_t(0);
}

int16_t QtModalDialog::NextHit() {
    if (!isVisible()) {
        QWidget* focus = focusWidget();  // SelectItemText may have run while hidden
        show();
        raise();
        activateWindow();
        if (auto* edit = qobject_cast<QLineEdit*>(focus)) {
            edit->setFocus(Qt::OtherFocusReason);
            edit->selectAll();
        }
    }
    if (pending_.empty()) {
        QEventLoop loop;
        waiting_ = &loop;
        loop.exec(QEventLoop::DialogExec);
        waiting_ = nullptr;
    }
    // Nothing hit means the event loops are ending (the application quits): cancel.
    if (pending_.empty()) return layout_.cancelItem;
    const int16_t hit = pending_.front();
    pending_.pop_front();
    return hit;
}

void QtModalDialog::Hit(int16_t item) {
    // A run of edits tells the logic the same thing once.
    if (item == 0 && !pending_.empty() && pending_.back() == 0) return;
    pending_.push_back(item);
    if (waiting_) waiting_->exit(0);
}

bool QtModalDialog::HandleKey(const QKeyEvent* e) {
    const int16_t key = DialogKeyItem(e);
    if (key == 0) return false;
    if (key == 1) {
        // A disabled default button cannot be chosen from the keyboard either.
        const Item* i = Find(layout_.defaultItem);
        if (i && i->widget->isEnabled()) Hit(layout_.defaultItem);
        else QApplication::beep();
    } else {
        Hit(layout_.cancelItem);
    }
    return true;
}

bool QtModalDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride && IsDialogKey(static_cast<QKeyEvent*>(event))) {
        event->accept();  // keep the keys ours, not an application shortcut's
        return true;
    }
    if (event->type() == QEvent::KeyPress && HandleKey(static_cast<QKeyEvent*>(event))) return true;
    return QDialog::eventFilter(watched, event);
}

void QtModalDialog::keyPressEvent(QKeyEvent* event) {
    if (!HandleKey(event)) QDialog::keyPressEvent(event);
}

void QtModalDialog::closeEvent(QCloseEvent* event) {
    event->ignore();  // the logic closes the dialog when it is done with it
    Hit(layout_.cancelItem);
}

void QtModalDialog::reject() { Hit(layout_.cancelItem); }
