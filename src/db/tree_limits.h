#pragma once

namespace db {

// The deepest level of a category or bank tree that windows and statistics
// walk. Trees the program builds stay far below it; a deeper chain (or a
// cycle of parent names) only comes from a damaged or foreign book.
inline constexpr int kMaxTreeDepth = 32;

} // namespace db
