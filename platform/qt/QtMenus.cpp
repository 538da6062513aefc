#include "platform/qt/QtMenus.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include "core/Menus.h"
#include "platform/qt/QtText.h"

namespace {
// Ampersands in item texts are text, not mnemonics.
QString MenuText(const std::string& text) { return PlatformText(text).replace('&', "&&"); }
}  // namespace

QtMenuBar::QtMenuBar(QMenuBar* bar, QWidget* shortcutWindow, QWidget* focusHome)
    : QObject(bar), bar_(bar), window_(shortcutWindow), focusHome_(focusHome) {
    for (int16_t id = kAppleMenu; id <= kHelpMenu; ++id) {
        QMenu* menu = BuildMenu(id, bar);
        if (!menu) continue;
        bar->addMenu(menu);
        // Marks are shown only while the user looks at the bar.
        connect(menu, &QMenu::aboutToShow, this, [this] {
            if (tracking_++ == 0) MarkMenus(1);
            Sync();
        });
        connect(menu, &QMenu::aboutToHide, this, [this] {
            if (tracking_ > 0 && --tracking_ == 0) MenuClosed();
        });
    }
    // A shortcut is live while one of its widgets is visible: the hidden bar of the
    // full-screen layout would take them all away.
    for (auto& [key, action] : actions_)
        if (!action->shortcut().isEmpty()) window_->addAction(action);
    Sync();
}

void QtMenuBar::MenuClosed() {
    MarkMenus(0);
    Sync();  // the items greyed while looking are enabled again, so their shortcuts work
    // Escape from a menu leaves the bar holding the keyboard (Space would open a
    // menu); once the menu is gone the keys belong to the scene again.
    QTimer::singleShot(0, this, [this] {
        if (tracking_ == 0 && focusHome_ && window_->focusWidget() == bar_) focusHome_->setFocus(Qt::OtherFocusReason);
    });
}

QMenu* QtMenuBar::BuildMenu(int16_t id, QWidget* parent) {
    const MenuModel* model = GetMenu(id);
    if (!model && id != kCameraSelectionMenu) return nullptr;
    auto* menu = new QMenu(model ? MenuText(model->title) : QString("Camera selection"), parent);
    menus_[id] = menu;
    // Menus whose items come and go are filled from the model each time they open.
    if (id == kCameraSelectionMenu || id == kRecentFilesMenu) {
        connect(menu, &QMenu::aboutToShow, this, [this, id] { FillChangingMenu(id); });
        return menu;
    }
    for (size_t k = 0; k < model->items.size(); ++k) {
        const MenuItemModel& item = model->items[k];
        const int16_t number = int16_t(k + 1);
        if (item.text == "-") {
            actions_[{id, number}] = menu->addSeparator();
            continue;
        }
        QAction* action;
        if (item.submenu) {
            QMenu* sub = BuildMenu(item.submenu, menu);
            action = menu->addMenu(sub);
            action->setText(MenuText(item.text));
        } else {
            action = menu->addAction(MenuText(item.text));
            connect(action, &QAction::triggered, this, [this, id, number] { Choose(id, number); });
        }
        if (!item.shortcut.empty()) {
            action->setShortcut(QKeySequence(QString::fromStdString(item.shortcut)));
            action->setShortcutContext(Qt::ApplicationShortcut);
        }
        actions_[{id, number}] = action;
    }
    return menu;
}

void QtMenuBar::FillChangingMenu(int16_t id) {
    QMenu* menu = menus_[id];
    menu->clear();
    const MenuModel* model = GetMenu(id);
    if (!model) return;  // camera selection while not tracking: nothing to offer
    for (size_t k = 0; k < model->items.size(); ++k) {
        const MenuItemModel& item = model->items[k];
        if (item.text == "-") {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(MenuText(item.text));
        action->setEnabled(item.enabled);
        action->setCheckable(item.checked);
        action->setChecked(item.checked);
        const int16_t number = int16_t(k + 1);
        connect(action, &QAction::triggered, this, [this, id, number] { Choose(id, number); });
    }
}

void QtMenuBar::Sync() {
    for (auto& [key, action] : actions_) {
        const MenuItemModel* item = GetMenuItem(key.first, key.second);
        if (!item || item->text == "-") continue;
        action->setText(MenuText(item->text));
        action->setEnabled(item->enabled);
        if (!item->submenu) {
            action->setCheckable(item->checked || action->isCheckable());
            action->setChecked(item->checked);
        }
    }
}

QAction* QtMenuBar::ActionFor(int16_t menu, int16_t item) const {
    auto it = actions_.find({menu, item});
    return it == actions_.end() ? nullptr : it->second;
}

void QtMenuBar::Choose(int16_t menu, int16_t item) {
    // While a dialog is up the loop waits in it; a shortcut must not start another.
    if (QApplication::activeModalWidget()) {
        Sync();  // undo the check Qt flipped on its own
        return;
    }
    HandleMenuEv(MenuChoice(menu, item));
    if (tracking_ > 0) MarkMenus(1);  // still looking: the marks follow the change at once
    Sync();
}
