#pragma once

class QDateTimeEdit;

namespace ui {

// Lets a date be typed the way it is written, "2025/12/01", and refuses one
// that does not exist.
// A field moves on to its next part by itself once a part is full, and a
// separator typed right after that would otherwise skip a part too (the
// month, here): such a separator is taken as already done.
// A day, month, year, hour or minute that makes no real date or time (the
// 30th of February, the 29th in a common year, hour 25) would otherwise be
// turned into another date; it is refused with a message that names it, and
// the field goes back to what it held before that part was typed.
void guardDateTyping(QDateTimeEdit *edit);

} // namespace ui
