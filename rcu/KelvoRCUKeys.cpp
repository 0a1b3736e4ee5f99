#include "rcu/KelvoRCUKeys.h"

#include <array>

namespace {

using L = CKelvoRCUKeyElement::Look;

// Digits send their own value; the other keys follow from 10.
constexpr std::array<CKelvoRCUKeyElement, 31> kKeys{{
    {10, "Power", 0, 8, 4, L::Power},
    {1, "1", 1, 0, 4},
    {2, "2", 1, 4, 4},
    {3, "3", 1, 8, 4},
    {4, "4", 2, 0, 4},
    {5, "5", 2, 4, 4},
    {6, "6", 2, 8, 4},
    {7, "7", 3, 0, 4},
    {8, "8", 3, 4, 4},
    {9, "9", 3, 8, 4},
    {30, "BACK", 4, 0, 4},
    {0, "0", 4, 4, 4},
    {29, "TV/R", 4, 8, 4},
    {17, "MENU", 5, 0, 4},
    {12, "Up", 5, 4, 4, L::ArrowUp},
    {20, "EPG", 5, 8, 4},
    {14, "Left", 6, 0, 4, L::ArrowLeft},
    {16, "OK", 6, 4, 4},
    {15, "Right", 6, 8, 4, L::ArrowRight},
    {18, "EXIT", 7, 0, 4},
    {13, "Down", 7, 4, 4, L::ArrowDown},
    {19, "INFO", 7, 8, 4},
    {21, "VOL+", 8, 0, 4},
    {11, "MUTE", 8, 4, 4},
    {23, "CH+", 8, 8, 4},
    {22, "VOL-", 9, 0, 4},
    {24, "CH-", 9, 8, 4},
    {25, "Red", 10, 0, 3, L::Red},
    {26, "Green", 10, 3, 3, L::Green},
    {27, "Yellow", 10, 6, 3, L::Yellow},
    {28, "Blue", 10, 9, 3, L::Blue},
}};

} // namespace

std::span<const CKelvoRCUKeyElement> KelvoRCUKeys()
{
    return kKeys;
}
