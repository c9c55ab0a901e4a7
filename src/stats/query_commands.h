#pragma once

// Commands and controls of the query windows.
namespace stats::cmd {
// Class query window: statistic kinds.
inline constexpr int ID_JOURNAL = 115;
inline constexpr int ID_BANK = 113;
inline constexpr int ID_CASH = 114;
inline constexpr int ID_INCOME = 104;
inline constexpr int ID_EXPENSE = 105;
inline constexpr int ID_SUMMARY = 106;
// Shows or hides the chart pane.
inline constexpr int ID_CHARTS = 118;
// Date query window: the directions besides income, expense and summary.
inline constexpr int ID_DEPOSIT = 116;
inline constexpr int ID_WITHDRAWAL = 117;
// Both windows.
inline constexpr int ID_QUERY_SETTINGS = 107;
inline constexpr int ID_EXPORT = 109;
inline constexpr int ID_CLASS_PRINT_PREVIEW = 110;
inline constexpr int ID_DATE_PRINT_PREVIEW = 111;
inline constexpr int ID_EXIT = 32783;
// The DAY menu.
inline constexpr int IDR_DAY_MENU = 159;
inline constexpr int ID_DAY_TODAY = 32788;
inline constexpr int ID_DAY_THIS_MONTH = 32789;
inline constexpr int ID_DAY_THIS_YEAR = 32790;
inline constexpr int ID_DAY_INTERVAL = 32810;
// The statistics list.
inline constexpr int IDC_STAT_LIST = 4097;
} // namespace stats::cmd
