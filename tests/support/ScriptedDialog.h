#pragma once
// A modal dialog driven by a script instead of a user: each step sets some
// field texts, then hits an item. It records what the logic showed.
#include <map>
#include <memory>
#include <optional>
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
    // Pop-up menus: the entries chosen in turn (0 = cancelled; none left = cancelled),
    // and what each pop-up offered.
    std::vector<int16_t> popUpChoices;
    size_t nextPopUp = 0;
    std::vector<std::vector<std::string>> popUpEntries;
    std::vector<int16_t> popUpChecked;
    // User items draw into surfaces of their layout box's size.
    std::map<int16_t, std::vector<uint32_t>> surfaces;
    std::map<int16_t, int> presented;
    std::map<int16_t, PixelSurface> surfaceShapes;
    std::map<int16_t, std::string> tips;  // the help shown where the pointer rests
    // Pixel (x, y) of a user item's surface as last drawn.
    uint32_t Pixel(int16_t item, int x, int y) const {
        const auto shape = surfaceShapes.find(item);
        const auto pixels = surfaces.find(item);
        if (shape == surfaceShapes.end() || pixels == surfaces.end()) return 0;
        return pixels->second[size_t(y) * size_t(shape->second.width) + size_t(x)];
    }
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
    PixelSurface UserItemSurface(int16_t item) override {
        for (const DialogItem& d : r_.layout.items) {
            if (d.number != item || d.kind != DialogItemKind::UserItem) continue;
            const int w = d.box.right - d.box.left, h = d.box.bottom - d.box.top;
            if (w <= 0 || h <= 0) break;
            std::vector<uint32_t>& pixels = r_.surfaces[item];
            pixels.assign(size_t(w) * size_t(h), 0xDEADBEu);  // stale marker: drawing must cover it
            PixelSurface s{pixels.data(), w * 4, w, h};
            r_.surfaceShapes[item] = s;
            return s;
        }
        return PixelSurface{pixels_, 16, 4, 4};
    }
    void PresentUserItem(int16_t item) override { ++r_.presented[item]; }
    void SetItemTip(int16_t item, const std::string& text) override { r_.tips[item] = text; }
    int16_t PopUpMenu(int16_t, const std::vector<std::string>& entries, int16_t checked) override {
        r_.popUpEntries.push_back(entries);
        r_.popUpChecked.push_back(checked);
        if (r_.nextPopUp >= r_.popUpChoices.size()) return 0;
        return r_.popUpChoices[r_.nextPopUp++];
    }
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
    std::vector<std::string> cautions;
    void CautionAlert(const std::string& text) override { cautions.push_back(text); }
    void AboutBox(const std::string& text) override { aboutText = text; }
    // File choosing: the paths chosen in turn (none left = cancelled).
    std::vector<std::string> chosenFiles;
    size_t nextFile = 0;
    bool ChooseFile(const std::vector<uint32_t>&, std::string& path) override {
        if (nextFile >= chosenFiles.size()) return false;
        path = chosenFiles[nextFile++];
        return true;
    }
    // Colour picker: the colours confirmed in turn (nullopt or none left = cancelled).
    std::vector<std::optional<RGBColor>> colorChoices;
    size_t nextColor = 0;
    std::vector<std::string> colorPrompts;
    bool ChooseColor(const std::string& prompt, RGBColor& color) override {
        colorPrompts.push_back(prompt);
        if (nextColor >= colorChoices.size() || !colorChoices[nextColor]) {
            ++nextColor;
            return false;
        }
        color = *colorChoices[nextColor++];
        return true;
    }
    // Text is measured as this many pixels per byte (0: the headless width).
    int32_t textWidthPerByte = 0;
    int32_t ThemeTextWidth(const std::string& text, int16_t) override {
        return int32_t(text.size()) * textWidthPerByte;
    }
    // Queue a dialog that runs these steps.
    DialogRecord& Expect(std::vector<DialogStep> steps) {
        dialogs.emplace_back();
        dialogs.back().script = std::move(steps);
        return dialogs.back();
    }
};
