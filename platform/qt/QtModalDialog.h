// A modal dialog built from the logic's item layout. Items sit at their layout
// boxes; the logic runs the loop and NextHit waits in a local event loop until
// an item is hit or a text field is edited.
#pragma once
#include <QDialog>
#include <QImage>
#include <deque>
#include <map>

#include "platform/Platform.h"

class QEventLoop;

class QtModalDialog : public QDialog, public ModalDialog {
    Q_OBJECT
public:
    explicit QtModalDialog(const DialogLayout& layout, QWidget* parent = nullptr);
    ~QtModalDialog() override;

    std::string ItemText(int16_t item) override;
    void SetItemText(int16_t item, const std::string& text) override;
    void SelectItemText(int16_t item) override;
    void SetItemEnabled(int16_t item, bool enabled) override;
    bool ItemValue(int16_t item) override;
    void SetItemValue(int16_t item, bool on) override;
    PixelSurface UserItemSurface(int16_t item) override;
    void PresentUserItem(int16_t item) override;
    int16_t PopUpMenu(int16_t item, const std::vector<std::string>& entries, int16_t checked) override;
    int16_t NextHit() override;
    void SetItemTip(int16_t item, const std::string& text) override;

    QWidget* ItemWidget(int16_t item) const;  // null for an unknown item

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    struct Item {
        DialogItemKind kind;
        QWidget* widget;
        QImage pixels;  // user items only
    };
    void AddItem(const DialogItem& item);
    bool HandleKey(const QKeyEvent* event);
    void Hit(int16_t item);
    const Item* Find(int16_t item) const;

    DialogLayout layout_;
    std::map<int16_t, Item> items_;
    std::deque<int16_t> pending_;  // hits not yet handed to the logic
    QEventLoop* waiting_ = nullptr;
};
