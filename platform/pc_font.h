#pragma once
// The screen's 8 x 14 font for printable ASCII, generated at build time from a Debian console font
// by cmake/console_font.cmake. Row 0 is the top; bit 7 of a row is the leftmost pixel.

extern const unsigned char kPcFontGlyphs[95][14];

// The 14 rows of a printable ASCII character (32..126), or nullptr for any other byte.
inline const unsigned char* PcGlyph(unsigned char c)
{
    return c >= 32 && c <= 126 ? kPcFontGlyphs[c - 32] : nullptr;
}
