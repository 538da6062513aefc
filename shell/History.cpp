#include "shell/History.h"

#include <deque>
#include <optional>
#include <set>

#include "platform/Platform.h"
#include "shell/RunSnapshot.h"
#include "shell/ScenarioSnapshot.h"
#include "sim/Bodies.h"

namespace {

struct HistoryStep {
    std::string name;
    ScenarioSnapshot scenario;  // the state this step returns to
    uint64_t revision = 0;      // that state's revision
    uint64_t content = 0;       // and its content revision
    // The run the command threw away (reset, or an edit that starts again), brought
    // back with the step; a step that left the run alone leaves it running.
    bool keepsRun = false;
    RunSnapshot run;
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
    uint64_t content = 1;       // as revision, moved only by changes of what a file keeps besides the view
    uint64_t lastContent = 1;
};

HistoryState history;

HistoryStep StepOfPresentState(const std::string& name, bool withRun) {
    HistoryStep step{name, CaptureScenario(history.pool), history.revision, history.content, withRun, {}};
    if (withRun) step.run = CaptureRun();  // a step that leaves the run alone keeps no copy of it
    return step;
}

size_t BytesHeld() {
    size_t bytes = 0;
    std::set<const void*> blocks;  // shared pictures and rings count once
    auto count = [&](const std::deque<HistoryStep>& steps) {
        for (const HistoryStep& step : steps) {
            bytes += SnapshotRecordBytes(step.scenario) + RunSnapshotBytes(step.run) + step.name.size();
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
    to.push_back(StepOfPresentState(step.name, step.keepsRun));
    history.revision = step.revision;
    history.content = step.content;
    const bool complete = RestoreScenario(step.scenario);
    if (step.keepsRun) RestoreRun(step.run);
    if (!complete) {
        SysBeep();
        Platform().StopAlert("There was not enough memory to restore every body, picture and ring.");
    }
    KeepWithinBound();
    return true;
}

// The command in progress is about to throw the run away: the step keeps it, once.
void KeepRunOfChangeInProgress() {
    if (!history.pending || history.pending->keepsRun) return;
    history.pending->run = CaptureRun();
    history.pending->keepsRun = true;
}

}  // namespace

void BeginUndoableChange(const std::string& name) {
    // The run is copied only if the command goes on to throw it away, which most leave alone.
    if (history.depth++ == 0) {
        history.pending = StepOfPresentState(name, false);
        SetBeforeRunReplaced(KeepRunOfChangeInProgress);
    } else if (history.pending && !name.empty()) {
        history.pending->name = name;  // the command knows best
    }
}

void EndUndoableChange() {
    if (history.depth == 0) return;
    if (--history.depth > 0) return;
    SetBeforeRunReplaced(nullptr);
    if (!history.pending) return;
    HistoryStep step = std::move(*history.pending);
    history.pending.reset();
    const ScenarioDifference d = CompareWithScenario(step.scenario);
    step.keepsRun = step.keepsRun && RunTimeGeneration() != step.run.generation && RunUnderWay(step.run);
    if (!step.keepsRun) step.run = RunSnapshot{};
    if (!d.Any() && !step.keepsRun) return;  // cancelled, or nothing to change
    history.undo.push_back(std::move(step));
    history.redo.clear();
    history.revision = ++history.lastRevision;
    if (d.Content()) history.content = ++history.lastContent;
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
    history.content = ++history.lastContent;
}

void RevertChangeInProgress() {
    if (!history.pending) return;
    KeepRunOfChangeInProgress();  // the run as it is now, if the command had not yet thrown it away
    RestoreScenario(history.pending->scenario);
    RestoreRun(history.pending->run);
    history.pending->run.generation = RunTimeGeneration();  // nothing thrown away now
}

uint64_t ScenarioRevision() { return history.revision; }
uint64_t ScenarioContentRevision() { return history.content; }

size_t UndoStepCount() { return history.undo.size(); }
size_t RedoStepCount() { return history.redo.size(); }
size_t UndoHistoryBytes() { return BytesHeld(); }

void SetUndoBoundsForTesting(size_t steps, size_t bytes) {
    history.maxSteps = steps ? steps : kUndoMaxSteps;
    history.maxBytes = bytes ? bytes : kUndoMaxBytes;
}
