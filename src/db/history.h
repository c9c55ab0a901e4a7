#pragma once

#include "db/result.h"

#include <optional>
#include <string>
#include <vector>

namespace db {

class Connection;

// How many actions the books keep for undo; older ones go.
inline constexpr int kKeptActions = 200;

inline constexpr const char *kMsgNothingToUndo = "没有可以撤销的操作。";
inline constexpr const char *kMsgNothingToRedo = "没有可以重做的操作。";
// %1 the action's label.
inline constexpr const char *kMsgUndoConflict =
    "不能撤销“%1”：它写过的记录后来又被改动了（也许是另一个程序）。帐本没有改动。";
inline constexpr const char *kMsgRedoConflict =
    "不能重做“%1”：它写过的记录后来又被改动了（也许是另一个程序）。帐本没有改动。";
inline constexpr const char *kMsgHistoryDamaged = "“%1”的撤销记录已损坏，不能使用。帐本没有改动。";

// One action of the undo history.
struct HistoryAction {
    long long id = 0;
    std::string label; // "新增 #12 午餐 35.50"
    std::string at;    // "2024/05/06 09:30:15"
    bool undone = false;
};

// The actions the books keep, newest first. Empty for books that never
// recorded one.
std::vector<HistoryAction> listHistory(Connection &c);

// What undo would take back and redo would do again; nothing when there is
// nothing to undo or redo.
struct NextSteps {
    std::optional<std::string> undo;
    std::optional<std::string> redo;
};
NextSteps nextSteps(Connection &c);

// An undo or a redo: done, with the label of the action; or refused with
// the message (nothing to do, or a row of the action was changed since).
struct StepResult : Result {
    std::string label;
};

// Takes back the newest action that is not undone, in one transaction: the
// rows it inserted are deleted, those it deleted are inserted again with
// their rowids, those it changed get their former values. Each row must
// still be exactly as the action left it; otherwise nothing is written.
// The statements are ordinary ones and go to the statement log.
StepResult undoLast(Connection &c);
// Does again the oldest undone action, under the same rule: each row must
// be exactly as the undo left it.
StepResult redoNext(Connection &c);

// Forgets every action (the books were replaced by a restore).
void clearHistory(Connection &c);

} // namespace db
