#pragma once

#include <chrono>

namespace bench {

template <typename F> double seconds(F &&body)
{
    const auto start = std::chrono::steady_clock::now();
    body();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace bench
