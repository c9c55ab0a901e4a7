#pragma once

// The commands a ledger view carries itself, and the context menu's items.
namespace ledger::cmd {
inline constexpr int ID_NEW_ENTRY = 32774;
inline constexpr int ID_MODIFY_ENTRY = 32775;
inline constexpr int ID_DELETE_ENTRY = 32773;
inline constexpr int ID_PRINT_PREVIEW = 32806;
inline constexpr int ID_SETTINGS = 32778;
} // namespace ledger::cmd
