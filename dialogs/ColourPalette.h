#pragma once
// The fixed 16-colour palette of the colour dialogs and the HTML text of
// its colours. Colours are 24-bit values 0x00BBGGRR.

#include <array>
#include <cstdint>
#include <functional>
#include <string>

class QWidget;

namespace vela::palette {

/// The colours of Panel3 … Panel18, left to right and top to bottom.
inline constexpr std::array<std::uint32_t, 16> colours{
    0x000000, 0x000080, 0x008000, 0x008080, // black, maroon, green, olive
    0x800000, 0x800080, 0x808000, 0x808080, // navy, purple, teal, grey
    0xC0C0C0, 0x0000FF, 0x00FF00, 0x00FFFF, // silver, red, lime, yellow
    0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF, // blue, fuchsia, aqua, white
};

inline constexpr std::uint32_t black = 0x000000;
inline constexpr std::uint32_t white = 0xFFFFFF;

/// "#RRGGBB" with upper-case hexadecimal digits, e.g. "#FF0000" for 0x0000FF.
std::string htmlColourText(std::uint32_t bgr);

/// One attribute with its leading blank: ` NAME="#RRGGBB"`.
std::string colourAttribute(const char* name, std::uint32_t bgr);

/// Fills a panel with the colour (its background, drawn by the panel itself).
void paintPanel(QWidget& panel, std::uint32_t bgr);

/// Paints the dialog's palette panels Panel3 … Panel18 and calls `clicked`
/// with a panel's colour when the user clicks it.
void wirePalettePanels(QWidget& dialog, const std::function<void(std::uint32_t)>& clicked);

/// The colour a panel is filled with, as 0x00BBGGRR.
std::uint32_t panelColour(const QWidget& panel);

} // namespace vela::palette
