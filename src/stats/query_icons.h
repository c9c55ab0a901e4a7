#pragma once

#include <QIcon>
#include <QPixmap>

namespace stats {

// The toolbar images of the query windows, 18 × 18, in their order:
// 0 ledger, 1 expense, 2 summary, 3 query settings, 4 print and export, 5 exit,
// 6 charts.
QIcon toolbarIcon(int index);
// The 16 × 16 image of a head row of the statistics list.
QIcon headRowIcon();
// The query windows' own small icon.
QIcon queryWindowIcon();
// The band behind the toolbar.
QPixmap bandBackground(int height);

} // namespace stats
