#pragma once

// A service is identified everywhere by its type in the bits above 12 and its index below them.
// Unique only while service indices stay below 4096; a missing type (-1) yields a negative key.
constexpr int MakeServiceKey(int type, int idx)
{
    return static_cast<int>(static_cast<unsigned>(type) << 12) | idx;
}
