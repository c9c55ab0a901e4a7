#pragma once

#include <optional>

namespace app {

struct LockKeys {
    bool caps = false;
    bool num = false;
    bool scroll = false;
};

// The keyboard's Caps, Num and Scroll Lock indicators, read through the X11
// keyboard extension; none where the display is not an X11 one.
std::optional<LockKeys> readLockKeys();

} // namespace app
