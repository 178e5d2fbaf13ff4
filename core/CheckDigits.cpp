#include "core/CheckDigits.h"

namespace Vandrel {

int32_t quersum(int32_t n)
{
    int32_t sum = 0;
    for (; n > 0; n /= 10)
        sum += n % 10;
    return sum;
}

std::string DoModule10(std::string_view digits)
{
    // Weight 3 on the rightmost digit, then 1, 3, ... leftwards. Reducing as we go
    // keeps the sum in (-10, 10) whatever the length or the characters.
    int sum = 0;
    int weight = 3;
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        sum = (sum + weight * (static_cast<unsigned char>(*it) - '0')) % 10;
        weight = 4 - weight;
    }
    return std::string(1, static_cast<char>('0' + (10 - sum) % 10));
}

} // namespace Vandrel
