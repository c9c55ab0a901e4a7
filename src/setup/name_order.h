#pragma once

#include <QStringList>

namespace setup {

// Sorts names as a Chinese reader expects them: Chinese by pinyin, then
// Latin names alphabetically, ignoring case.
void sortNames(QStringList &names);

} // namespace setup
