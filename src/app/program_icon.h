#pragma once

#include <QIcon>
#include <QImage>

namespace app {

// The program's icon, drawn: a ledger book with a coin, on a blue tile.
QImage programIconImage(int size);
QIcon programIcon();

} // namespace app
