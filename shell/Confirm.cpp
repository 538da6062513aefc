#include "shell/Confirm.h"

#include "core/Dialogs.h"

DialogItem MakeDialogItem(int16_t number, DialogItemKind kind, Rect box, const std::string& text) {
    DialogItem d;
    d.number = number;
    d.kind = kind;
    d.box = box;
    d.text = text;
    return d;
}

DialogLayout QuestionLayout(int16_t width, int16_t height, int16_t defaultItem, int16_t cancelItem) {
    DialogLayout layout;
    layout.title = DialogTitle();
    layout.width = width;
    layout.height = height;
    layout.defaultItem = defaultItem;
    layout.cancelItem = cancelItem;
    return layout;
}

int16_t AskWithButtons(const DialogLayout& layout) {
    std::unique_ptr<ModalDialog> dialog = Platform().OpenModalDialog(layout);
    if (!dialog) return layout.cancelItem;
    for (;;) {
        const int16_t hit = dialog->NextHit();
        for (const DialogItem& item : layout.items)
            if (item.number == hit && item.kind == DialogItemKind::Button) return hit;
    }
}

DialogLayout ConfirmLayout(const std::string& question, const std::string& actionTitle) {
    DialogLayout layout = QuestionLayout(400, 112, kConfirmActionItem, kConfirmCancelItem);
    layout.items = {
        MakeDialogItem(kConfirmQuestionItem, DialogItemKind::StaticText, Rect{20, 24, 60, 376}, question),
        MakeDialogItem(kConfirmCancelItem, DialogItemKind::Button, Rect{72, 192, 92, 272}, "Cancel"),
        MakeDialogItem(kConfirmActionItem, DialogItemKind::Button, Rect{72, 288, 92, 376}, actionTitle),
    };
    return layout;
}

bool AskToConfirm(const std::string& question, const std::string& actionTitle) {
    return AskWithButtons(ConfirmLayout(question, actionTitle)) == kConfirmActionItem;
}
