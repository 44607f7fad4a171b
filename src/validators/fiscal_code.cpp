#include "validators/fiscal_code.h"

#include <array>

namespace {

// Both tables cover '0'...'Z' in code order. The seven signs between '9' and
// 'A' (':' to '@') count 0 and make no error.
constexpr char16_t firstInTable = u'0';
constexpr char16_t lastInTable = u'Z';
constexpr std::size_t tableSize = lastInTable - firstInTable + 1;

// clang-format off
// Odd positions: the decree's values for the letters; a digit counts as the
// letter in the same place of A...J.
constexpr std::array<quint8, tableSize> oddValues = {
    1,  0,  5,  7,  9,  13, 15, 17, 19, 21,                        // 0-9
    0,  0,  0,  0,  0,  0,  0,                                     // : ; < = > ? @
    1,  0,  5,  7,  9,  13, 15, 17, 19, 21, 2,  4,  18, 20, 11, 3, // A-P
    6,  8,  12, 14, 16, 10, 22, 25, 24, 23,                        // Q-Z
};

// Even positions: digits count their value, letters their place from A = 0.
constexpr std::array<quint8, tableSize> evenValues = {
    0,  1,  2,  3,  4,  5,  6,  7,  8,  9,                          // 0-9
    0,  0,  0,  0,  0,  0,  0,                                      // : ; < = > ? @
    0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, // A-P
    16, 17, 18, 19, 20, 21, 22, 23, 24, 25,                         // Q-Z
};
// clang-format on

} // namespace

bool FiscalCodeIsValid(const QString& code)
{
    if (code.size() != 16)
        return false;
    int sum = 0;
    for (qsizetype i = 0; i < 15; ++i) {
        const char16_t c = code[i].unicode();
        // Anything the tables do not cover can never belong to a valid code.
        if (c < firstInTable || c > lastInTable)
            return false;
        // i is 0-based, so even i is an odd position of the code.
        const auto& table = (i % 2 == 0) ? oddValues : evenValues;
        sum += table[c - firstInTable];
    }
    return code[15].unicode() == u'A' + sum % 26;
}
