#pragma once

#include <string>
#include <string_view>

// How the rows of a report fall on its pages, and where things stand on a
// page. Positions are millimetres from the page's top left corner.
namespace ui {

inline constexpr int kFirstPageRows = 29;
inline constexpr int kLaterPageRows = 30;

inline constexpr double kPageWidth = 182;
inline constexpr double kPageHeight = 257;
inline constexpr double kTitleTop = 10;
inline constexpr double kTitleBottom = 20;
inline constexpr double kTableLeft = 20;
inline constexpr double kTableRight = 162;
inline constexpr double kFirstPageTableTop = 25;
inline constexpr double kLaterPageTableTop = 18;
inline constexpr double kRowHeight = 7;
inline constexpr double kTextInset = 1.5;

// The number of pages for a number of rows; 0 rows need no page.
int pageCount(int rows);
// The first row (from 0) of a page (from 1).
int firstRowOfPage(int page);
// How many rows a page holds at most.
int pageRowQuota(int page);
// Where the table of a page begins.
double tableTop(int page);

// The text a cell prints: at most byteLimit bytes counted as GBK counts
// them, whole characters only. A number is never printed in part: when the
// cut falls inside one, the number is left out, with its currency sign.
std::string printedCellText(std::string_view text, int byteLimit);

} // namespace ui
