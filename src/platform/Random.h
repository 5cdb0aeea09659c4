// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <random>

namespace platform {

// Chance comes in from outside, like time, so a test can fix every draw.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    // A whole number in [0, n).
    virtual int below(int n) = 0;
};

class SystemRandom final : public RandomSource {
public:
    int below(int n) override { return std::uniform_int_distribution<int>(0, n - 1)(engine_); }

private:
    std::mt19937 engine_{std::random_device{}()};
};

} // namespace platform
