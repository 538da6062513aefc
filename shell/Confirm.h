// Questions the user answers with a button: before a command that takes a
// lot at once, or before unsaved changes would be lost.
#pragma once
#include <string>

#include "platform/Platform.h"

constexpr int16_t kConfirmActionItem = 1, kConfirmCancelItem = 2, kConfirmQuestionItem = 3;

DialogItem MakeDialogItem(int16_t number, DialogItemKind kind, Rect box, const std::string& text);
// A question box titled after the command that asks (core/Dialogs.h), of this size and with these buttons for Return and Escape.
DialogLayout QuestionLayout(int16_t width, int16_t height, int16_t defaultItem, int16_t cancelItem);
// Shows the layout and returns the button the user chose; the layout's cancel
// item when the platform cannot show a dialog.
int16_t AskWithButtons(const DialogLayout& layout);

DialogLayout ConfirmLayout(const std::string& question, const std::string& actionTitle);
// True when the user chose the action; Cancel, Escape or no dialog at all say no.
bool AskToConfirm(const std::string& question, const std::string& actionTitle);
