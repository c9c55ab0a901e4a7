#include "ui/report_pages.h"

#include "db/text.h"

namespace ui {

int pageCount(int rows)
{
    if (rows <= 0)
        return 0;
    if (rows <= kFirstPageRows)
        return 1;
    return 1 + (rows - kFirstPageRows + kLaterPageRows - 1) / kLaterPageRows;
}

int firstRowOfPage(int page)
{
    return page <= 1 ? 0 : kFirstPageRows + kLaterPageRows * (page - 2);
}

int pageRowQuota(int page) { return page <= 1 ? kFirstPageRows : kLaterPageRows; }

double tableTop(int page) { return page <= 1 ? kFirstPageTableTop : kLaterPageTableTop; }

namespace {
bool isNumberCharacter(char c) { return (c >= '0' && c <= '9') || c == '.' || c == '-'; }
const std::string_view kYuan = "￥";
} // namespace

std::string printedCellText(std::string_view text, int byteLimit)
{
    std::string cut = db::gbkCut(text, byteLimit);
    if (cut.size() == text.size() || !isNumberCharacter(text[cut.size()]))
        return cut;
    // "余额为：￥18207" for a balance of 182075.00 would read as a wrong figure.
    while (!cut.empty() && isNumberCharacter(cut.back()))
        cut.pop_back();
    if (cut.ends_with(kYuan))
        cut.erase(cut.size() - kYuan.size());
    return cut;
}

} // namespace ui
