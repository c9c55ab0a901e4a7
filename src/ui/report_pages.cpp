#include "ui/report_pages.h"

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

} // namespace ui
