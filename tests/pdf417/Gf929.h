#pragma once
// Polynomials over GF(929), the field of PDF417's error correction: a
// symbol's codewords, data then error correction, are the coefficients of a
// polynomial that vanishes at 3^1 ... 3^k.
#include <vector>

namespace VandrelTest {

// Horner's rule, highest degree first.
inline int Evaluate(const std::vector<int>& coefficients, int x)
{
    int value = 0;
    for (int c : coefficients)
        value = (value * x + c) % 929;
    return value;
}

// The first power 3^i (1 <= i <= k) where the polynomial does not vanish, or 0.
inline int FirstNonVanishingPower(const std::vector<int>& codewords, int k)
{
    for (int i = 1, root = 3; i <= k; ++i, root = root * 3 % 929)
        if (Evaluate(codewords, root) != 0)
            return i;
    return 0;
}

} // namespace VandrelTest
