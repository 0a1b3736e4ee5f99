#pragma once

#include "rcu/KelvoRCUExport.h"

#include <cstdint>
#include <span>

// One button of the remote: the code the box's remote key request takes, a label, and its place
// on the remote. Places are on a grid of rows and twelve columns, so that rows of three, four or
// two buttons line up.
struct CKelvoRCUKeyElement
{
    enum class Look : std::uint8_t
    {
        Text,
        Power,
        ArrowUp,
        ArrowDown,
        ArrowLeft,
        ArrowRight,
        Red,
        Green,
        Yellow,
        Blue,
    };

    int code;
    const char* label; // what the button says, or names it when it shows a shape
    int row;
    int column; // 0..11
    int span;   // columns taken
    Look look = Look::Text;
};

// Every key of the remote, in reading order (top to bottom, left to right). Codes are unique.
KELVORCU_EXPORT std::span<const CKelvoRCUKeyElement> KelvoRCUKeys();
