#include "ui/name_order.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>

namespace ui {

void sortNames(QStringList &names)
{
    QCollator collator(QLocale(QLocale::Chinese, QLocale::China));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(names.begin(), names.end(),
                     [&](const QString &a, const QString &b) { return collator.compare(a, b) < 0; });
}

} // namespace ui
