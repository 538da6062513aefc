// The object list window: one row per body, selection, camera mark, scrolling.
#pragma once
#include <cstdint>
#include <string>

#include "core/Records.h"

void AllocObjectWindowInfo();
void DisposeObjectWindowInfo();
// After any change of the body list, the selection or the window size.
void UpdateObjectWindowVars();
// Draws the whole content into the window's surface, then presents it.
void RedrawObjectWindow();
// Called after every frame: while the run goes on, the speeds shown follow it a few
// times a second.
void RefreshObjectWindowDuringRun();
// A press at `local` (window coordinates); broughtToFront is 1 when the press only made
// the window frontmost. A click selects (with Alt: makes the camera follow) and the
// answer says what else the press asks for: editing the row's body (a double-click)
// or a new body (a click below the rows). BodyEditorCommands.h acts on it.
struct ObjectWindowPress {
    enum class Action : uint8_t { None, EditBody, NewBody };
    Action action = Action::None;
    int32_t index = -1;  // the body to edit
};
ObjectWindowPress ObjectWindowHit(Point local, uint16_t modifiers, uint32_t when, int16_t broughtToFront);
uint16_t IsBodySelectionOkay();

// The scroll bar is the platform's control; it reports the part the user
// pressed (thumbValue is the dragged value for the thumb) and the logic
// decides the new first row, then tells the control through
// MainWindow().SetWindowScrollBar.
enum class ScrollPart : uint8_t { UpArrow, DownArrow, PageUp, PageDown, Thumb };
void TrackObjectWindowScroll(ScrollPart part, int32_t thumbValue);
int32_t ObjectWindowScrollValue();
int32_t ObjectWindowScrollMaximum();

// A body with mass is a row of its own; a run of consecutive massless bodies (a belt, added
// at once) is one row. Rows are found by a scan of the list, which holds no more state.
struct ObjectRow {
    int32_t first;  // body index
    int32_t count;  // 1, or the particles of a belt
};
ObjectRow ObjectRowFrom(const BodyListStruct* list, int32_t first);
int32_t ObjectRowCount();
ObjectRow ObjectRowAt(int32_t row);  // count 0 past the last row
// "Belt: 10,000 particles"
std::string BeltRowText(int32_t particles);

// Row geometry: the header takes y 0..15, then one row of 15 pixels per row.
constexpr int32_t kObjectRowHeight = 15;
constexpr int16_t kObjectWindowTexts = 1030;
// The window's port size (content including the scroll bar's column).
void ObjectWindowPortSize(int32_t& width, int32_t& height);
// A body's name (UTF-8) cut with an ellipsis until it is narrower than 65
// pixels in the small views font.
std::string FitObjectName(std::string name);
