#pragma once
// Colour and font-style types of the editor core. They are plain values so that the text model
// and the highlighting definitions can carry colours without knowing the GUI toolkit; the
// control turns them into the toolkit's colours and fonts when it paints.

#include <cstdint>
#include <initializer_list>

namespace kestrim {

// 0x00BBGGRR for an RGB colour (red in the low byte); 0xFF0000nn for system colour nn.
using TColor = std::uint32_t;

// No colour of its own: the element takes the editor's background or font colour.
constexpr TColor clNone = 0x1FFFFFFF;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;

// System colours: the platform decides the actual colour when the control paints.
constexpr TColor clSystemColor = 0xFF000000;
constexpr TColor clWindow = clSystemColor | 5;
constexpr TColor clWindowText = clSystemColor | 8;
constexpr TColor clMenuBar = clSystemColor | 30;

constexpr bool IsSystemColor(TColor Color) { return (Color & 0xFF000000) == clSystemColor; }

// The colour of Red, Green and Blue parts, each 0..255.
constexpr TColor Rgb(int Red, int Green, int Blue)
{
    return static_cast<TColor>(Red) | static_cast<TColor>(Green) << 8 | static_cast<TColor>(Blue) << 16;
}

enum TFontStyle : std::uint8_t { fsBold, fsItalic, fsUnderline, fsStrikeOut };

// A set of font styles, one bit per style.
class TFontStyles {
public:
    constexpr TFontStyles() = default;
    constexpr TFontStyles(std::initializer_list<TFontStyle> Styles)
    {
        for (TFontStyle style : Styles)
            Include(style);
    }

    constexpr bool Contains(TFontStyle Style) const { return (FBits & Bit(Style)) != 0; }
    constexpr bool Empty() const { return FBits == 0; }
    constexpr TFontStyles& Include(TFontStyle Style)
    {
        FBits = static_cast<std::uint8_t>(FBits | Bit(Style));
        return *this;
    }
    constexpr TFontStyles& Exclude(TFontStyle Style)
    {
        FBits = static_cast<std::uint8_t>(FBits & ~Bit(Style));
        return *this;
    }
    constexpr bool operator==(const TFontStyles&) const = default;

private:
    static constexpr std::uint8_t Bit(TFontStyle Style) { return static_cast<std::uint8_t>(1u << Style); }

    std::uint8_t FBits = 0;
};

} // namespace kestrim
