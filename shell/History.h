// Undo and redo of scenario changes. Before a command changes the scenario,
// a snapshot of it and of the run under way is taken; if the command did change
// something, the snapshot becomes the newest undo step, with the run when the
// command threw the run away. Opening a universe starts a new history.
//
// Bound: at most kUndoMaxSteps steps, and the steps' records plus the
// distinct pictures and rings they hold stay under kUndoMaxBytes; the oldest
// steps go first. The newest step is always kept, however large.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

constexpr size_t kUndoMaxSteps = 100;
constexpr size_t kUndoMaxBytes = size_t(32) << 20;

// Brackets one user command. Brackets nest; the outermost one decides, and
// the innermost non-empty name names the step ("Delete Body"): a menu item
// brackets its command, and the command may know a better name.
void BeginUndoableChange(const std::string& name);
void EndUndoableChange();
// Inside a bracket: puts back the scenario and the run as they were when it opened
// (a command that prepared a change and then was cancelled).
void RevertChangeInProgress();

struct UndoableChange {
    explicit UndoableChange(const std::string& name) { BeginUndoableChange(name); }
    ~UndoableChange() { EndUndoableChange(); }
    UndoableChange(const UndoableChange&) = delete;
    UndoableChange& operator=(const UndoableChange&) = delete;
};

bool CanUndo();
bool CanRedo();
std::string UndoStepName();  // the name of the step Undo would take back; empty when none
std::string RedoStepName();
// Both beep when there is nothing to take back or do again, and say so when
// memory ran out while restoring. True when a step was taken.
bool UndoLastChange();
bool RedoLastChange();
// Forgets every step and any change in progress (a new scenario).
void ClearUndoHistory();
// Names the scenario's present state: every recorded change, undo and redo
// moves to another number, and undoing back to a state returns its number,
// so a document is unmodified exactly when this equals the number it was saved at.
uint64_t ScenarioRevision();
// As ScenarioRevision, but moved only by changes of what a file keeps besides the view
// (camera, labels, drawing) and the run: a document is unsaved exactly when this moved.
uint64_t ScenarioContentRevision();

// What the history holds now, as counted against its bound.
size_t UndoStepCount();
size_t RedoStepCount();
size_t UndoHistoryBytes();
// Tests: a smaller bound (0 restores the default).
void SetUndoBoundsForTesting(size_t steps, size_t bytes);
