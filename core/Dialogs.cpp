#include "core/Dialogs.h"

#include <algorithm>
#include <cmath>

#include "core/EventLoop.h"
#include "core/Strings.h"
#include "core/Units.h"

namespace {

constexpr int16_t kSheetWidth = 440;
constexpr int16_t kPromptItemBase = 10;  // prompts 10.., units 20..
constexpr int16_t kUnitsItemBase = 20;

DialogItem MakeItem(int16_t number, DialogItemKind kind, Rect box, std::string text,
                    TextJustify justify = TextJustify::Left) {
    DialogItem d;
    d.number = number;
    d.kind = kind;
    d.box = box;
    d.text = std::move(text);
    d.justify = justify;
    return d;
}

std::string Cut255(std::string text) {
    if (text.size() > 255) text.resize(255);
    return text;
}

bool waitingForSheet = false;  // only one sheet at a time

}  // namespace

namespace {
std::string commandTitle;
}  // namespace

DialogsNamedAfter::DialogsNamedAfter(const std::string& command) : before(commandTitle) {
    commandTitle = command;
    Platform().NameDialogsAfter(command);
}

DialogsNamedAfter::~DialogsNamedAfter() {
    commandTitle = before;
    Platform().NameDialogsAfter(before);
}

std::string DialogTitle() { return commandTitle.empty() ? std::string("Gravitas") : commandTitle; }

DialogLayout SimpleSheetLayout(int16_t count, const std::vector<std::string>& prompts,
                               const std::vector<std::string>* units, int32_t lines) {
    const int n = std::clamp<int>(count, 1, kSheetMaxFields);
    const int16_t lineHeight = int16_t(16 * std::max<int32_t>(lines, 1));
    DialogLayout layout;
    layout.title = DialogTitle();
    layout.width = kSheetWidth;
    layout.defaultItem = kSheetOkayItem;
    layout.cancelItem = kSheetCancelItem;
    int16_t t = 20, bottom = 20;
    for (int i = 0; i < n; ++i) {
        bottom = int16_t(t + lineHeight);
        const std::string prompt = i < int(prompts.size()) ? prompts[size_t(i)] : std::string();
        layout.items.push_back(MakeItem(int16_t(kPromptItemBase + i), DialogItemKind::StaticText,
                                        Rect{t, 24, bottom, 264}, prompt, TextJustify::Right));
        const int16_t fieldRight = units ? 356 : 416;
        layout.items.push_back(MakeItem(int16_t(kSheetFirstFieldItem + i), DialogItemKind::EditText,
                                        Rect{int16_t(bottom - 16), 280, bottom, fieldRight}, ""));
        if (units) {
            const std::string unit = i < int(units->size()) ? (*units)[size_t(i)] : std::string();
            layout.items.push_back(MakeItem(int16_t(kUnitsItemBase + i), DialogItemKind::StaticText,
                                            Rect{int16_t(bottom - 16), 368, bottom, 416}, unit));
        }
        t = int16_t(bottom + 16);
    }
    const int16_t top = int16_t(bottom + 24);
    layout.items.push_back(MakeItem(kSheetCancelItem, DialogItemKind::Button, Rect{top, 232, int16_t(top + 20), 312},
                                    "Cancel"));
    layout.items.push_back(MakeItem(kSheetOkayItem, DialogItemKind::Button, Rect{top, 336, int16_t(top + 20), 416},
                                    "Okay"));
    layout.height = int16_t(top + 20 + 24);
    return layout;
}

int16_t ModalSimpleStringSheetDialog(int16_t count, std::vector<std::string>& strings,
                                     const std::vector<std::string>& prompts, const std::vector<std::string>* units,
                                     int32_t lines) {
    if (waitingForSheet) return 0;
    const int n = std::clamp<int>(count, 1, kSheetMaxFields);
    strings.resize(std::max<size_t>(strings.size(), size_t(n)));
    std::unique_ptr<ModalDialog> sheet = Platform().OpenModalDialog(SimpleSheetLayout(count, prompts, units, lines));
    if (!sheet) return 0;
    for (int i = 0; i < n; ++i) sheet->SetItemText(int16_t(kSheetFirstFieldItem + i), strings[size_t(i)]);
    sheet->SelectItemText(kSheetFirstFieldItem);
    waitingForSheet = true;  // no frames run while we wait in the dialog's own loop
    int16_t item = 0;
    for (;;) {
        const int16_t hit = sheet->NextHit();
        if (hit == kSheetCancelItem) break;
        if (hit == kSheetOkayItem) {
            // A field the user emptied keeps the value it showed.
            for (int i = 0; i < n; ++i) {
                std::string text = Cut255(sheet->ItemText(int16_t(kSheetFirstFieldItem + i)));
                if (!text.empty()) strings[size_t(i)] = std::move(text);
            }
            item = 1;
            break;
        }
    }
    waitingForSheet = false;
    return item;
}

int16_t DoSimpleDialogSheet(MyReal* values, const std::vector<std::string>& prompts,
                            const std::vector<std::string>* units, int32_t lines, int16_t count, int16_t digits) {
    const int n = count == 2 ? 2 : 1;
    std::vector<std::string> strings(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) strings[size_t(i)] = MyRealFixed2String(values[i], digits);
    const int16_t item = ModalSimpleStringSheetDialog(int16_t(n), strings, prompts, units, lines);
    if (item == 1)
        for (int i = 0; i < n; ++i) values[i] = String2MyReal(strings[size_t(i)]);
    return item;
}

namespace {

DialogLayout FlipUnitsLayout(int16_t count, const std::string& prompt, const std::string& title,
                             const std::string& unitLabel) {
    DialogLayout layout;
    layout.title = title;
    layout.width = 360;
    layout.defaultItem = kFlipOkItem;
    layout.cancelItem = kFlipCancelItem;
    layout.items.push_back(MakeItem(kFlipPromptItem, DialogItemKind::StaticText, Rect{16, 20, 34, 340}, prompt));
    layout.items.push_back(MakeItem(kFlipValueItem, DialogItemKind::EditText, Rect{44, 20, 64, 220}, ""));
    layout.items.push_back(MakeItem(kFlipUnitItem, DialogItemKind::Button, Rect{44, 232, 64, 340}, unitLabel));
    int16_t y = 64;
    if (count == 2) {
        layout.items.push_back(MakeItem(kFlipSecondValueItem, DialogItemKind::EditText, Rect{74, 20, 94, 220}, ""));
        y = 94;
    }
    const int16_t top = int16_t(y + 20);
    layout.items.push_back(MakeItem(kFlipCancelItem, DialogItemKind::Button, Rect{top, 160, int16_t(top + 20), 240},
                                    "Cancel"));
    layout.items.push_back(MakeItem(kFlipOkItem, DialogItemKind::Button, Rect{top, 260, int16_t(top + 20), 340}, "OK"));
    layout.height = int16_t(top + 20 + 16);
    return layout;
}

// The label a unit cycle starts from (SI units, factor 1).
std::string InitialUnitLabel(RotateUnitRoutine rotate) {
    if (rotate == RotateTimeUnit) return GetIndString(kTimeUnitList, 1);
    if (rotate == RotateDistanceUnit) return GetIndString(kDistanceUnitList, 1);
    if (rotate == RotateMassUnit) return GetIndString(kMassUnitList, 1);
    if (rotate == RotateInvTimeUnit) return GetIndString(kInvTimeUnitList, 1);
    if (rotate == RotateForceUnit) return GetIndString(kForceUnitList, 1);
    return "";
}

}  // namespace

int16_t DoSimpleEntryFlipUnitsDialog(RotateUnitRoutine rotate, MyReal* values, int16_t count, int16_t digits,
                                     int16_t /*dialogId*/, const std::string& prompt, const std::string& title) {
    std::unique_ptr<ModalDialog> dialog =
        Platform().OpenModalDialog(FlipUnitsLayout(count, prompt, title, InitialUnitLabel(rotate)));
    if (!dialog) return 0;
    MyReal factor = 1.0;
    dialog->SetItemText(kFlipValueItem, MyRealFixed2String(values[0] / factor, digits));
    if (count == 2) dialog->SetItemText(kFlipSecondValueItem, MyRealFixed2String(values[1] / factor, digits));
    dialog->SelectItemText(kFlipValueItem);
    for (;;) {
        const int16_t hit = dialog->NextHit();
        if (hit == kFlipCancelItem) return 0;
        if (hit == kFlipOkItem) break;
        if (hit == kFlipUnitItem) {
            const MyReal si = String2MyReal(dialog->ItemText(kFlipValueItem)) * factor;
            Str255 label{};
            rotate(&factor, label);
            dialog->SetItemText(kFlipUnitItem, PToCStr(label));
            dialog->SetItemText(kFlipValueItem, MyRealFixed2String(si / factor, digits));
        }
    }
    values[0] = String2MyReal(dialog->ItemText(kFlipValueItem)) * factor;
    if (count == 2) values[1] = String2MyReal(dialog->ItemText(kFlipSecondValueItem)) * factor;
    return 1;
}

int16_t DoGravitationalConstantDialog(MyReal* value) {
    DialogLayout layout;
    layout.title = "Gravitational Constant";
    layout.width = 380;
    layout.height = 116;
    layout.items = {
        MakeItem(5, DialogItemKind::StaticText, Rect{16, 20, 34, 360}, "Force between two masses: F = G m\u2081 m\u2082 / r\u00b2"),
        MakeItem(6, DialogItemKind::StaticText, Rect{46, 20, 64, 44}, "G ="),
        MakeItem(kGravMantissaItem, DialogItemKind::EditText, Rect{44, 48, 64, 188}, ""),
        MakeItem(7, DialogItemKind::StaticText, Rect{46, 196, 64, 236}, "\u00d7 10^"),
        MakeItem(kGravExponentItem, DialogItemKind::EditText, Rect{44, 240, 64, 280}, ""),
        MakeItem(8, DialogItemKind::StaticText, Rect{46, 288, 64, 370}, "N m\u00b2/kg\u00b2"),
        MakeItem(kGravCancelItem, DialogItemKind::Button, Rect{80, 180, 100, 260}, "Cancel"),
        MakeItem(kGravOkItem, DialogItemKind::Button, Rect{80, 280, 100, 360}, "OK"),
    };
    std::unique_ptr<ModalDialog> dialog = Platform().OpenModalDialog(layout);
    if (!dialog) return 0;
    std::string mantissa, exponent;
    if (MantExpToStrings(*value, mantissa, exponent)) {
        dialog->SetItemText(kGravMantissaItem, mantissa);
        dialog->SetItemText(kGravExponentItem, exponent);
    }
    dialog->SelectItemText(kGravMantissaItem);
    for (;;) {
        const MyReal entered =
            StringsToMantExp(dialog->ItemText(kGravMantissaItem), dialog->ItemText(kGravExponentItem));
        dialog->SetItemEnabled(kGravOkItem, !std::isnan(entered));
        const int16_t hit = dialog->NextHit();
        if (hit == kGravCancelItem) return 0;
        if (hit == kGravOkItem && !std::isnan(entered)) {
            *value = entered;
            return 1;
        }
    }
}

bool MyDefaultDialogFiltProc(const EventRecord& event, int16_t& item) {
    if (event.what != kKeyDownEvent && event.what != kAutoKeyEvent) return false;
    const uint8_t ch = uint8_t(event.message & 0xFF);
    if (event.modifiers & kCmdKeyModifier) {
        if ((ch & ~0x20) == 14) {  // command-period ('.' with bit 5 cleared)
            item = 2;
            return true;
        }
        return false;
    }
    if (ch == 13 || ch == 3) {
        item = 1;
        return true;
    }
    if (ch == 27) {
        item = 2;
        return true;
    }
    return false;
}

uint32_t StatusBarPosition(uint32_t value, uint32_t maximum) {
    if (maximum == 0) return 0;  // nothing to measure against: an empty bar, not a division by zero
    const uint32_t v = std::min(value, maximum);
    if (maximum <= 65535) return v * 500 / maximum;
    return v / (maximum / 500);
}

void NewStatusWindow(uint32_t lastSlot, const std::string* title) {
    Platform().StatusWindowClose();
    Platform().StatusWindowOpen(lastSlot, title ? *title : std::string("Progress\u2026"));
    for (uint32_t k = lastSlot + 1; k-- > 0;) DrawStatusBar(k, kStatusBarUnchanged, 0, nullptr);
}

void DrawStatusBar(uint32_t slot, uint32_t value, uint32_t maximum, const std::string* text) {
    const uint32_t position = value == kStatusBarUnchanged ? kStatusBarUnchanged : StatusBarPosition(value, maximum);
    Platform().StatusWindowDraw(slot, position, text);
}

void DisposeStatusWindow() { Platform().StatusWindowClose(); }
