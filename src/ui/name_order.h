#pragma once

#include <QStringList>

namespace ui {

// Sorts names as a Chinese reader expects them: Chinese by pinyin, then
// Latin names alphabetically, ignoring case.
void sortNames(QStringList &names);

} // namespace ui
