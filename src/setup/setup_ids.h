#pragma once

// Control identifiers of the settings dialog and its detail panel.
namespace setup {

inline constexpr int IDC_ADD = 1025;
inline constexpr int IDC_MODIFY = 1026;
inline constexpr int IDC_DELETE = 1027;
inline constexpr int IDC_SAVE = 1032;
inline constexpr int IDC_SECTION_INCOME = 1029;
inline constexpr int IDC_SECTION_EXPENSE = 1028;
inline constexpr int IDC_SECTION_BANK = 1030;
inline constexpr int IDC_TREE_INCOME = 1009;
inline constexpr int IDC_TREE_EXPENSE = 1016;
inline constexpr int IDC_TREE_BANK = 1010;

// The header above the detail fields.
inline constexpr int IDC_HEADER = 1050;

// Recurring income and expense fields.
inline constexpr int IDC_FIXED = 1011;
inline constexpr int IDC_AUTO_POST = 1013;
inline constexpr int IDC_AMOUNT_LABEL = 1033;
inline constexpr int IDC_AMOUNT = 1005;
inline constexpr int IDC_INTERVAL_LABEL = 1038;
inline constexpr int IDC_INTERVAL = 1021;
inline constexpr int IDC_INTERVAL_SPIN = 1024;
inline constexpr int IDC_UNIT = 1012;
inline constexpr int IDC_BEGIN_LABEL = 1040;
inline constexpr int IDC_BEGIN = 1014;
inline constexpr int IDC_END_LABEL = 1042;
inline constexpr int IDC_END = 1015;
inline constexpr int IDC_INCOME_BANK_LABEL = 1044;
inline constexpr int IDC_EXPENSE_BANK_LABEL = 1048;
inline constexpr int IDC_ITEM_BANK = 1019;

// Bank account fields.
inline constexpr int IDC_ACCOUNT_TYPE_LABEL = 1037;
inline constexpr int IDC_ACCOUNT_TYPE = 1034;
inline constexpr int IDC_OPEN_BANK_LABEL = 1039;
inline constexpr int IDC_OPEN_BANK = 1006;
inline constexpr int IDC_HOLDER_LABEL = 1041;
inline constexpr int IDC_HOLDER = 1007;
inline constexpr int IDC_ACCOUNT_NUMBER_LABEL = 1043;
inline constexpr int IDC_ACCOUNT_NUMBER = 1008;
inline constexpr int IDC_OPEN_DATE_LABEL = 1045;
inline constexpr int IDC_OPEN_DATE = 1036;
inline constexpr int IDC_OPENING_BALANCE_LABEL = 1046;
inline constexpr int IDC_OPENING_BALANCE = 1020;
inline constexpr int IDC_SOURCE_LABEL = 1047;
inline constexpr int IDC_SOURCE_BANK = 1022;

// The budget of an expense category.
inline constexpr int IDC_MONTHLY_BUDGET_LABEL = 1060;
inline constexpr int IDC_MONTHLY_BUDGET = 1061;
inline constexpr int IDC_YEARLY_BUDGET_LABEL = 1062;
inline constexpr int IDC_YEARLY_BUDGET = 1063;

} // namespace setup
