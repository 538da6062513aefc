#include "windows/ObjectWindow.h"

#include <algorithm>

#include "core/Strings.h"
#include "platform/Platform.h"
#include "sim/Bodies.h"

namespace {

int32_t scrollValue = 0;
int32_t scrollMaximum = 0;
uint32_t lastObjWinHitTC = 0;
int32_t objWinHitIndex = -1;  // no row clicked yet: the first click cannot be a double click

constexpr uint16_t kOptionKey = 0x0800;


int32_t RowsInPort() {
    int32_t w = 0, h = 0;
    ObjectWindowPortSize(w, h);
    return h / kObjectRowHeight;
}

void TellScrollBar() {
    MainWindow().SetWindowScrollBar(kObjectWindowId, scrollValue, scrollMaximum, RowsInPort() - 2);
}

}  // namespace

void RefreshObjectWindowDuringRun() {
    static int64_t shownPush = -1;
    static uint32_t shownTick = 0;
    const uint32_t now = Platform().TickCount();
    if (rt.pushCount == shownPush || now - shownTick < 15) return;  // a quarter of a second
    shownPush = rt.pushCount;
    shownTick = now;
    MainWindow().InvalidateWindow(kObjectWindowId);
}

ObjectRow ObjectRowFrom(const BodyListStruct* list, int32_t first) {
    int32_t end = first + 1;
    if (list->body[first].mass == 0.0)
        while (end < list->count && list->body[end].mass == 0.0) ++end;
    return ObjectRow{first, end - first};
}

int32_t ObjectRowCount() {
    const BodyListStruct* list = BodyList();
    int32_t rows = 0;
    for (int32_t i = 0; list && i < list->count; i += ObjectRowFrom(list, i).count) ++rows;
    return rows;
}

ObjectRow ObjectRowAt(int32_t row) {
    const BodyListStruct* list = BodyList();
    for (int32_t i = 0; list && i < list->count && row >= 0; --row) {
        const ObjectRow r = ObjectRowFrom(list, i);
        if (row == 0) return r;
        i += r.count;
    }
    return ObjectRow{-1, 0};
}

std::string BeltRowText(int32_t particles) {
    std::string digits = std::to_string(particles), grouped;
    for (size_t k = 0; k < digits.size(); ++k) {
        if (k > 0 && (digits.size() - k) % 3 == 0) grouped += ',';
        grouped += digits[k];
    }
    return GetIndString(kObjectWindowTexts, 6) + grouped + GetIndString(kObjectWindowTexts, particles == 1 ? 8 : 7);
}

void ObjectWindowPortSize(int32_t& width, int32_t& height) {
    const Rect r = MainWindow().WindowContentRect(kObjectWindowId);
    width = r.right - r.left;
    height = r.bottom - r.top;
    if (width > 0 && height > 0) return;
    const PixelSurface s = MainWindow().WindowSurface(kObjectWindowId);
    width = s.width;
    height = s.height;
}

void AllocObjectWindowInfo() {
    scrollValue = 0;
    scrollMaximum = 0;
    lastObjWinHitTC = 0;
    objWinHitIndex = -1;
    MainWindow().SetWindowScrollBar(kObjectWindowId, 0, 0, std::max(0, RowsInPort() - 2));
}

void DisposeObjectWindowInfo() {}

void UpdateObjectWindowVars() {
    scrollMaximum = std::max(0, ObjectRowCount() + 3 - RowsInPort());
    scrollValue = std::clamp(scrollValue, 0, scrollMaximum);
    TellScrollBar();
    MainWindow().InvalidateWindow(kObjectWindowId);
}

int32_t ObjectWindowScrollValue() { return scrollValue; }
int32_t ObjectWindowScrollMaximum() { return scrollMaximum; }

void TrackObjectWindowScroll(ScrollPart part, int32_t thumbValue) {
    const int32_t page = RowsInPort() - 2;
    int32_t value = scrollValue;
    switch (part) {
        case ScrollPart::UpArrow: value -= 1; break;
        case ScrollPart::DownArrow: value += 1; break;
        case ScrollPart::PageUp: value -= page; break;
        case ScrollPart::PageDown: value += page; break;
        case ScrollPart::Thumb: value = thumbValue; break;
    }
    scrollValue = std::clamp(value, 0, scrollMaximum);
    TellScrollBar();
    MainWindow().InvalidateWindow(kObjectWindowId);
}

ObjectWindowPress ObjectWindowHit(Point local, uint16_t modifiers, uint32_t when, int16_t broughtToFront) {
    int32_t width = 0, height = 0;
    ObjectWindowPortSize(width, height);
    if (local.h >= width - 16) return {};  // the scroll bar's column: the platform tracks it
    const int32_t row = local.v / kObjectRowHeight - 1;
    if (row < 0) return {};
    const ObjectRow hit = ObjectRowAt(row + scrollValue);
    if (hit.count > 0) {
        const int32_t index = hit.first;  // a belt's row stands for its first particle
        if (when < lastObjWinHitTC + Platform().DoubleClickTicks() && index == objWinHitIndex)
            return hit.count == 1 ? ObjectWindowPress{ObjectWindowPress::Action::EditBody, index} : ObjectWindowPress{};
        lastObjWinHitTC = when;
        objWinHitIndex = index;
        if (modifiers & kOptionKey) set.cameraSelection = index;
        else rt.selectedBody = index;
        UpdateObjectWindowVars();
        return {};
    }
    if (!broughtToFront) return {ObjectWindowPress::Action::NewBody, -1};
    return {};
}

uint16_t IsBodySelectionOkay() {
    const BodyListStruct* list = BodyList();
    return list && rt.selectedBody >= 0 && rt.selectedBody < list->count;
}
