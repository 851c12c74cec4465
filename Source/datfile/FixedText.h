#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kestrane {

// A fixed-width text of exactly 20 characters, like the logger's name fields:
// an assigned text is copied from the left, filled with blanks and cut at 20
// characters. Nothing trims it; blanks and zero characters are kept.
class FixedText {
public:
    static constexpr std::size_t Width = 20;

    FixedText() : m_text(Width, u' ') {}
    explicit FixedText(std::u16string_view text) { assign(text); }

    // Copies from the left, pads with blanks, cuts at Width characters.
    FixedText &assign(std::u16string_view text);
    FixedText &operator=(std::u16string_view text) { return assign(text); }

    const std::u16string &text() const { return m_text; }

    friend bool operator==(const FixedText &, const FixedText &) = default;

private:
    std::u16string m_text;
};

// Decodes bytes of the logger's code page, Windows-1252, one character per
// byte. The five bytes that code page leaves undefined map to the C1 control
// of the same number, as the system's conversion does.
std::u16string decodeWindows1252(std::string_view bytes);

} // namespace kestrane
