#include "workbook/spreadsheet/CellAddress.h"


namespace kestrane::spreadsheet {

namespace {

bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
int letterValue(char c) { return (c >= 'a' ? c - 'a' : c - 'A') + 1; }

} // namespace

std::optional<int> parseColumnLetters(std::string_view letters)
{
    // At most three letters are looked at, so the sum cannot overflow; "IV"
    // (256) is the last column, "IW" and three-letter columns lie beyond it.
    if (letters.empty() || letters.size() > 3)
        return std::nullopt;
    int number = 0;
    for (const char c : letters) {
        if (!isLetter(c))
            return std::nullopt;
        number = number * 26 + letterValue(c);
    }
    if (number > kColumnCount)
        return std::nullopt;
    return number - 1;
}

std::optional<CellAddress> parseA1(std::string_view address)
{
    std::size_t split = 0;
    while (split < address.size() && isLetter(address[split]))
        ++split;
    const auto column = parseColumnLetters(address.substr(0, split));
    const std::string_view digits = address.substr(split);
    if (!column || digits.empty() || digits.size() > 5 || digits.front() == '0')
        return std::nullopt;
    int row = 0;
    for (const char c : digits) {
        if (!isDigit(c))
            return std::nullopt;
        row = row * 10 + (c - '0');
    }
    if (row > kRowCount)
        return std::nullopt;
    return CellAddress{row - 1, *column};
}

} // namespace kestrane::spreadsheet
