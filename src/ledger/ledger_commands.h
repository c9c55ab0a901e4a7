#pragma once

// The commands a ledger view carries itself, and the context menu's items.
namespace ledger::cmd {
inline constexpr int ID_NEW_ENTRY = 32774;
inline constexpr int ID_MODIFY_ENTRY = 32775;
inline constexpr int ID_DELETE_ENTRY = 32773;
inline constexpr int ID_PRINT_PREVIEW = 32806;
inline constexpr int ID_SETTINGS = 32778;
// Shows the filter bar above the list.
inline constexpr int ID_FILTER = 32961;
} // namespace ledger::cmd

// The entry dialog's controls.
namespace ledger::ctl {
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDC_NUMBER = 1000;
inline constexpr int IDC_DATE_TIME = 1002;
inline constexpr int IDC_AMOUNT = 1005;
inline constexpr int IDC_DESCRIPTION = 1006;
inline constexpr int IDC_TYPE = 1007;
inline constexpr int IDC_CATEGORY = 1008;
inline constexpr int IDC_HANDLER = 1010;
inline constexpr int IDC_ACCOUNT = 1012;
inline constexpr int IDC_START_NUMBER = 1020;
inline constexpr int IDC_CALCULATOR = 1053;
inline constexpr int IDC_INVESTED = 1067;
inline constexpr int IDC_INVEST_LIST = 1088;
inline constexpr int IDC_DESCRIPTION_LABEL = 1089;
inline constexpr int IDC_ACCOUNT_LABEL = 1090;
inline constexpr int IDC_AMOUNT_LABEL = 1091;
inline constexpr int IDC_HANDLER_LABEL = 1092;
inline constexpr int IDC_FRAME = 1093;
inline constexpr int IDC_START_LABEL = 1094;
inline constexpr int IDC_INVESTED_LABEL = 1095;
} // namespace ledger::ctl
