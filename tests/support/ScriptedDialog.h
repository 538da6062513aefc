#pragma once
// A modal dialog driven by a script instead of a user: each step sets some
// field texts, then hits an item. It records what the logic showed.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/Platform.h"

struct DialogStep {
    std::map<int16_t, std::string> texts;  // typed before the hit
    int16_t hit = 0;                       // 0: only an edit
};

struct DialogRecord {
    DialogLayout layout;
    std::map<int16_t, std::string> texts;
    std::map<int16_t, bool> enabled;
    std::map<int16_t, bool> values;
    std::vector<std::map<int16_t, bool>> enabledAtHit;  // enabled states seen at each step
    std::vector<std::map<int16_t, std::string>> textsAtHit;  // texts shown before each step's typing
    int16_t selected = 0;
    size_t next = 0;
    std::vector<DialogStep> script;
};

class ScriptedDialog : public ModalDialog {
public:
    explicit ScriptedDialog(DialogRecord& record) : r_(record) {
        for (const DialogItem& item : r_.layout.items) r_.texts[item.number] = item.text;
    }
    std::string ItemText(int16_t item) override { return r_.texts[item]; }
    void SetItemText(int16_t item, const std::string& text) override { r_.texts[item] = text; }
    void SelectItemText(int16_t item) override { r_.selected = item; }
    void SetItemEnabled(int16_t item, bool enabled) override { r_.enabled[item] = enabled; }
    bool ItemValue(int16_t item) override { return r_.values[item]; }
    void SetItemValue(int16_t item, bool on) override { r_.values[item] = on; }
    PixelSurface UserItemSurface(int16_t) override { return PixelSurface{pixels_, 16, 4, 4}; }
    void PresentUserItem(int16_t) override {}
    int16_t PopUpMenu(int16_t, const std::vector<std::string>&, int16_t) override { return 0; }
    int16_t NextHit() override {
        // A script that runs out cancels, so a faulty loop cannot spin forever.
        if (r_.next >= r_.script.size()) return r_.layout.cancelItem;
        r_.enabledAtHit.push_back(r_.enabled);
        r_.textsAtHit.push_back(r_.texts);
        const DialogStep& step = r_.script[r_.next++];
        for (const auto& [item, text] : step.texts) r_.texts[item] = text;
        return step.hit;
    }

private:
    DialogRecord& r_;
    uint32_t pixels_[16] = {};
};

// A backend whose dialogs follow the scripts queued in `dialogs`, one per dialog opened.
struct ScriptedDialogBackend : PlatformBackend {
    std::vector<DialogRecord> dialogs;
    size_t opened = 0;
    int beeps = 0;
    std::vector<std::string> alerts;
    std::string aboutText;
    std::unique_ptr<ModalDialog> OpenModalDialog(const DialogLayout& layout) override {
        if (opened >= dialogs.size()) dialogs.emplace_back();
        DialogRecord& record = dialogs[opened++];
        record.layout = layout;
        return std::make_unique<ScriptedDialog>(record);
    }
    void SysBeep() override { ++beeps; }
    void StopAlert(const std::string& text) override { alerts.push_back(text); }
    void AboutBox(const std::string& text) override { aboutText = text; }
    // Queue a dialog that runs these steps.
    DialogRecord& Expect(std::vector<DialogStep> steps) {
        dialogs.emplace_back();
        dialogs.back().script = std::move(steps);
        return dialogs.back();
    }
};
