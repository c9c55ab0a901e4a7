#pragma once

class QDateTimeEdit;

namespace ui {

// Lets a date be typed the way it is written, "2025/12/01": a field moves
// on to its next part by itself once a part is full, and a separator typed
// right after that would otherwise skip a part too (the month, here). Such
// a separator is taken as already done.
void acceptTypedSeparators(QDateTimeEdit *edit);

} // namespace ui
