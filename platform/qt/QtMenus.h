// The menu bar shown by Qt, built from the logic's numbered menus. Marks,
// texts and enabled states are refreshed from the model whenever a menu opens.
#pragma once
#include <QObject>
#include <map>
#include <utility>

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

class QtMenuBar : public QObject {
public:
    // Builds the bar from the menus SetupMenus made. The shortcuts belong to
    // shortcutWindow too, so they work while the bar is hidden (full screen);
    // focusHome gets the keyboard back when a menu closes.
    QtMenuBar(QMenuBar* bar, QWidget* shortcutWindow, QWidget* focusHome);
    // Copies texts, checks and enabled states of every item from the model.
    void Sync();
    QAction* ActionFor(int16_t menu, int16_t item) const;

private:
    QMenu* BuildMenu(int16_t id, QWidget* parent);
    void FillChangingMenu(int16_t id);
    void Choose(int16_t menu, int16_t item);

    std::map<std::pair<int16_t, int16_t>, QAction*> actions_;
    std::map<int16_t, QMenu*> menus_;
    void MenuClosed();

    QMenuBar* bar_;
    QWidget* window_;
    QWidget* focusHome_;
    int tracking_ = 0;
};
