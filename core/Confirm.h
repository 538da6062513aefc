// A question the user answers before a command that takes a lot at once.
#pragma once
#include <string>

#include "platform/Platform.h"

constexpr int16_t kConfirmActionItem = 1, kConfirmCancelItem = 2, kConfirmQuestionItem = 3;

DialogLayout ConfirmLayout(const std::string& question, const std::string& actionTitle);
// True when the user chose the action; Cancel, Escape or no dialog at all say no.
bool AskToConfirm(const std::string& question, const std::string& actionTitle);
