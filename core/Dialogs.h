// Sheets and dialogs that ask for one or a few numbers, the keyboard filter
// the modal dialogs share, and the progress window of long operations.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/EventLoop.h"
#include "core/Records.h"
#include "platform/Platform.h"

// The dialogs and alerts a command brings up are titled after it ("Time Step"), for as
// long as this lives; outside any command they carry the application's name.
struct DialogsNamedAfter {
    explicit DialogsNamedAfter(const std::string& command);
    ~DialogsNamedAfter();
    DialogsNamedAfter(const DialogsNamedAfter&) = delete;
    DialogsNamedAfter& operator=(const DialogsNamedAfter&) = delete;
    std::string before;
};
// The present command's name; "Gravitas" outside any.
std::string DialogTitle();

// Item numbers of the simple sheet: the buttons, then one edit field per value.
constexpr int16_t kSheetOkayItem = 1, kSheetCancelItem = 2, kSheetFirstFieldItem = 3;
constexpr int kSheetMaxFields = 4;

// The sheet's layout: fields capped at 4, prompt lines at least 1.
DialogLayout SimpleSheetLayout(int16_t count, const std::vector<std::string>& prompts,
                               const std::vector<std::string>* units, int32_t lines);

// 1 for OK (the values replaced by the entries), 0 for Cancel.
int16_t DoSimpleDialogSheet(MyReal* values, const std::vector<std::string>& prompts,
                            const std::vector<std::string>* units, int32_t lines, int16_t count, int16_t digits);
// strings: one per field, replaced on OK by the non-empty entries (cut to 255 bytes).
int16_t ModalSimpleStringSheetDialog(int16_t count, std::vector<std::string>& strings,
                                     const std::vector<std::string>& prompts, const std::vector<std::string>* units,
                                     int32_t lines);

// Items of the unit-cycling entry dialog.
constexpr int16_t kFlipOkItem = 1, kFlipCancelItem = 2, kFlipValueItem = 3, kFlipPromptItem = 4,
                  kFlipUnitItem = 5, kFlipSecondValueItem = 6;
using RotateUnitRoutine = void (*)(MyReal* factor, uint8_t* label);
// values in SI units; 1 for OK (values replaced), 0 for Cancel. prompt and title
// are the dialog's two text parameters.
int16_t DoSimpleEntryFlipUnitsDialog(RotateUnitRoutine rotate, MyReal* values, int16_t count, int16_t digits,
                                     int16_t dialogId, const std::string& prompt, const std::string& title);

// The gravitational-constant dialog: 1 OK (value stored in *value), 0 Cancel.
constexpr int16_t kGravOkItem = 1, kGravCancelItem = 2, kGravMantissaItem = 3, kGravExponentItem = 4;
int16_t DoGravitationalConstantDialog(MyReal* value);

// Keyboard filter: true when the key event chose an item (Return/Enter OK, Escape and
// command-period Cancel).
bool MyDefaultDialogFiltProc(const EventRecord& event, int16_t& item);

// Progress window.
void NewStatusWindow(uint32_t lastSlot, const std::string* title);
void DrawStatusBar(uint32_t slot, uint32_t value, uint32_t maximum, const std::string* text);
void DisposeStatusWindow();
// Position along the 500-pixel bar of value out of maximum.
uint32_t StatusBarPosition(uint32_t value, uint32_t maximum);
