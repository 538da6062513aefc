#include "core/Confirm.h"

namespace {
DialogItem MakeItem(int16_t number, DialogItemKind kind, Rect box, const std::string& text) {
    DialogItem d;
    d.number = number;
    d.kind = kind;
    d.box = box;
    d.text = text;
    return d;
}
}  // namespace

DialogLayout ConfirmLayout(const std::string& question, const std::string& actionTitle) {
    DialogLayout layout;
    layout.title = "Gravitas";
    layout.width = 400;
    layout.height = 112;
    layout.defaultItem = kConfirmActionItem;
    layout.cancelItem = kConfirmCancelItem;
    layout.items.push_back(MakeItem(kConfirmQuestionItem, DialogItemKind::StaticText, Rect{20, 24, 60, 376}, question));
    layout.items.push_back(MakeItem(kConfirmCancelItem, DialogItemKind::Button, Rect{72, 192, 92, 272}, "Cancel"));
    layout.items.push_back(MakeItem(kConfirmActionItem, DialogItemKind::Button, Rect{72, 288, 92, 376}, actionTitle));
    return layout;
}

bool AskToConfirm(const std::string& question, const std::string& actionTitle) {
    std::unique_ptr<ModalDialog> dialog = Platform().OpenModalDialog(ConfirmLayout(question, actionTitle));
    if (!dialog) return false;
    for (;;) {
        const int16_t hit = dialog->NextHit();
        if (hit == kConfirmActionItem) return true;
        if (hit == kConfirmCancelItem) return false;
    }
}
