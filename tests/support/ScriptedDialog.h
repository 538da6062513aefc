// A modal dialog driven by a script instead of a user: each step sets some field texts, then hits an
// item. It records what the logic showed.
#pragma once
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"

struct DialogStep {  // the texts typed before the hit; hit 0: only an edit
    std::map<int16_t, std::string> texts;
    int16_t hit = 0;
};

struct DialogRecord {
    DialogLayout layout;
    std::map<int16_t, std::string> texts, tips;  // tips: the help shown where the pointer rests
    std::map<int16_t, bool> enabled, values;
    std::vector<std::map<int16_t, bool>> enabledAtHit;       // enabled states seen at each step
    std::vector<std::map<int16_t, std::string>> textsAtHit;  // texts shown before each step's typing
    int16_t selected = 0;
    size_t next = 0, nextPopUp = 0;
    std::vector<DialogStep> script;
    std::vector<int16_t> popUpChoices, popUpChecked;  // pop-ups: choices in turn (0 or none left: cancel), marks
    std::vector<std::vector<std::string>> popUpEntries;
    std::map<int16_t, std::vector<uint32_t>> surfaces;  // user items draw into surfaces of their box's size
    std::map<int16_t, PixelSurface> surfaceShapes;
    std::map<int16_t, int> presented;
    uint32_t Pixel(int16_t item, int x, int y) const {  // pixel (x, y) of a user item's surface as last drawn
        return surfaceShapes.count(item) ? surfaceShapes.at(item).base[y * surfaceShapes.at(item).width + x] : 0;
    }
};

struct ScriptedDialog : ModalDialog {
    explicit ScriptedDialog(DialogRecord& record) : r_(record) {
        for (const DialogItem& item : r_.layout.items) r_.texts[item.number] = item.text;
    }
    std::string ItemText(int16_t item) override { return r_.texts[item]; }
    void SetItemText(int16_t item, const std::string& text) override { r_.texts[item] = text; }
    void SelectItemText(int16_t item) override { r_.selected = item; }
    void SetItemEnabled(int16_t item, bool enabled) override { r_.enabled[item] = enabled; }
    bool ItemValue(int16_t item) override { return r_.values[item]; }
    void SetItemValue(int16_t item, bool on) override { r_.values[item] = on; }
    void PresentUserItem(int16_t item) override { ++r_.presented[item]; }
    void SetItemTip(int16_t item, const std::string& text) override { r_.tips[item] = text; }
    PixelSurface UserItemSurface(int16_t item) override {
        for (const DialogItem& d : r_.layout.items) {
            const int w = d.box.right - d.box.left, h = d.box.bottom - d.box.top;
            if (d.number != item || d.kind != DialogItemKind::UserItem || w <= 0 || h <= 0) continue;
            std::vector<uint32_t>& pixels = r_.surfaces[item];
            pixels.assign(size_t(w) * size_t(h), 0xDEADBEu);  // stale marker: drawing must cover it
            return r_.surfaceShapes[item] = PixelSurface{pixels.data(), w * 4, w, h};
        }
        return PixelSurface{pixels_, 16, 4, 4};
    }
    int16_t PopUpMenu(int16_t, const std::vector<std::string>& entries, int16_t checked) override {
        r_.popUpEntries.push_back(entries), r_.popUpChecked.push_back(checked);
        return r_.nextPopUp < r_.popUpChoices.size() ? r_.popUpChoices[r_.nextPopUp++] : 0;
    }
    int16_t NextHit() override {
        if (r_.next >= r_.script.size()) return r_.layout.cancelItem;  // so a faulty loop cannot spin forever
        r_.enabledAtHit.push_back(r_.enabled), r_.textsAtHit.push_back(r_.texts);
        const DialogStep& step = r_.script[r_.next++];
        for (const auto& [item, text] : step.texts) r_.texts[item] = text;
        return step.hit;
    }
    DialogRecord& r_;
    uint32_t pixels_[16] = {};
};

// A backend whose dialogs follow the scripts queued in `dialogs`, one per dialog opened.
struct ScriptedDialogBackend : PlatformBackend {
    std::vector<DialogRecord> dialogs;
    size_t opened = 0, nextFile = 0, nextColor = 0;
    int beeps = 0;
    std::vector<std::string> alerts, cautions, chosenFiles, colorPrompts;  // chosenFiles: in turn, then cancel
    std::vector<std::optional<RGBColor>> colorChoices;  // confirmed in turn (nullopt or none left: cancelled)
    std::string aboutText;
    int32_t textWidthPerByte = 0;  // text is measured as this many pixels per byte (0: the headless width)
    std::unique_ptr<ModalDialog> OpenModalDialog(const DialogLayout& layout) override {
        if (opened >= dialogs.size()) dialogs.emplace_back();
        dialogs[opened].layout = layout;
        return std::make_unique<ScriptedDialog>(dialogs[opened++]);
    }
    void SysBeep() override { ++beeps; }
    void StopAlert(const std::string& text) override { alerts.push_back(text); }
    void CautionAlert(const std::string& text) override { cautions.push_back(text); }
    void AboutBox(const std::string& text) override { aboutText = text; }
    bool ChooseFile(const std::vector<uint32_t>&, std::string& path) override {
        if (nextFile >= chosenFiles.size()) return false;
        path = chosenFiles[nextFile++];
        return true;
    }
    bool ChooseColor(const std::string& prompt, RGBColor& color) override {
        colorPrompts.push_back(prompt);
        const bool chosen = nextColor < colorChoices.size() && colorChoices[nextColor];
        if (chosen) color = *colorChoices[nextColor];
        return ++nextColor, chosen;
    }
    int32_t ThemeTextWidth(const std::string& text, int16_t) override { return int32_t(text.size()) * textWidthPerByte; }
    DialogRecord& Expect(std::vector<DialogStep> steps) {  // queues a dialog that runs these steps
        dialogs.emplace_back().script = std::move(steps);
        return dialogs.back();
    }
};
