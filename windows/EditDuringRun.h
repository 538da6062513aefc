// Editing a body while the run is under way: the user chooses between the present
// state (which first becomes the initial conditions, as Set Initial Conditions does) and
// the initial conditions (the run starts again from them). Either is one undo step that
// brings the run back.
#pragma once
#include <cstdint>
#include <string>

#include "platform/Platform.h"

constexpr int16_t kEditPresentItem = 1, kEditCancelChoiceItem = 2, kEditInitialItem = 3, kEditChoiceTextItem = 4;

enum class EditTarget : uint8_t { InitialConditions, PresentState, Cancel };

// True when the run got past its start and body `index` is still in it.
bool CanEditPresentState(int32_t index);
// The question, with the body's present values and the run's time.
DialogLayout EditDuringRunLayout(int32_t index);
// Asks when the run is under way; the initial conditions otherwise.
EditTarget ChooseWhatToEdit(int32_t index);
// The body's index once the present state has become the initial conditions (bodies
// absorbed in a merge leave the list then).
int32_t IndexAfterPresentState(int32_t index);
