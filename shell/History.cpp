#include "shell/History.h"

#include <deque>
#include <optional>
#include <set>

#include "platform/Platform.h"
#include "shell/ScenarioSnapshot.h"

namespace {

struct HistoryStep {
    std::string name;
    ScenarioSnapshot scenario;  // the state this step returns to
    uint64_t revision = 0;      // that state's revision
};

struct HistoryState {
    std::deque<HistoryStep> undo;  // newest at the back
    std::deque<HistoryStep> redo;
    BytesPool pool;
    int depth = 0;  // nesting of Begin/End
    std::optional<HistoryStep> pending;
    size_t maxSteps = kUndoMaxSteps;
    size_t maxBytes = kUndoMaxBytes;
    uint64_t revision = 1;      // of the present state
    uint64_t lastRevision = 1;  // the highest handed out
};

HistoryState history;

size_t BytesHeld() {
    size_t bytes = 0;
    std::set<const void*> blocks;  // shared pictures and rings count once
    auto count = [&](const std::deque<HistoryStep>& steps) {
        for (const HistoryStep& step : steps) {
            bytes += SnapshotRecordBytes(step.scenario) + step.name.size();
            for (const BodySnapshot& b : step.scenario.bodies)
                for (const SharedBytes& block : {b.picture, b.ring})
                    if (block && blocks.insert(block.get()).second) bytes += block->size();
        }
    };
    count(history.undo);
    count(history.redo);
    return bytes;
}

// Drops the oldest steps until the bound holds, keeping the newest undo step.
void KeepWithinBound() {
    while (history.undo.size() + history.redo.size() > history.maxSteps && history.undo.size() > 1)
        history.undo.pop_front();
    while (history.undo.size() > 1 && BytesHeld() > history.maxBytes) history.undo.pop_front();
    // Redo steps are the newest after an undo; they go when nothing else is left.
    while (!history.redo.empty() && history.undo.size() <= 1 && BytesHeld() > history.maxBytes)
        history.redo.pop_front();
}

bool TakeStep(std::deque<HistoryStep>& from, std::deque<HistoryStep>& to) {
    if (from.empty() || history.depth > 0) {
        SysBeep();
        return false;
    }
    HistoryStep step = std::move(from.back());
    from.pop_back();
    to.push_back(HistoryStep{step.name, CaptureScenario(history.pool), history.revision});
    history.revision = step.revision;
    if (!RestoreScenario(step.scenario)) {
        SysBeep();
        Platform().StopAlert("There was not enough memory to restore every body, picture and ring.");
    }
    KeepWithinBound();
    return true;
}

}  // namespace

void BeginUndoableChange(const std::string& name) {
    if (history.depth++ == 0) history.pending = HistoryStep{name, CaptureScenario(history.pool), history.revision};
    else if (history.pending && !name.empty()) history.pending->name = name;  // the command knows best
}

void EndUndoableChange() {
    if (history.depth == 0) return;
    if (--history.depth > 0 || !history.pending) return;
    HistoryStep step = std::move(*history.pending);
    history.pending.reset();
    if (!CompareWithScenario(step.scenario).Any()) return;  // cancelled, or nothing to change
    history.undo.push_back(std::move(step));
    history.redo.clear();
    history.revision = ++history.lastRevision;
    KeepWithinBound();
}

bool CanUndo() { return !history.undo.empty(); }
bool CanRedo() { return !history.redo.empty(); }
std::string UndoStepName() { return history.undo.empty() ? std::string() : history.undo.back().name; }
std::string RedoStepName() { return history.redo.empty() ? std::string() : history.redo.back().name; }

bool UndoLastChange() { return TakeStep(history.undo, history.redo); }
bool RedoLastChange() { return TakeStep(history.redo, history.undo); }

void ClearUndoHistory() {
    history.undo.clear();
    history.redo.clear();
    history.pending.reset();  // the change in progress replaced the scenario: nothing to take back
    history.pool = BytesPool{};
    history.revision = ++history.lastRevision;
}

uint64_t ScenarioRevision() { return history.revision; }

size_t UndoStepCount() { return history.undo.size(); }
size_t RedoStepCount() { return history.redo.size(); }
size_t UndoHistoryBytes() { return BytesHeld(); }

void SetUndoBoundsForTesting(size_t steps, size_t bytes) {
    history.maxSteps = steps ? steps : kUndoMaxSteps;
    history.maxBytes = bytes ? bytes : kUndoMaxBytes;
}
