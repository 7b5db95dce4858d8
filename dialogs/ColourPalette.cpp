#include "ColourPalette.h"

#include "ClickPanel.h"

#include <QColor>
#include <QPalette>
#include <QWidget>

#include <cstdio>

namespace vela::palette {

std::string htmlColourText(std::uint32_t bgr) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", unsigned(bgr & 0xFF), unsigned((bgr >> 8) & 0xFF),
                  unsigned((bgr >> 16) & 0xFF));
    return text;
}

std::string colourAttribute(const char* name, std::uint32_t bgr) {
    return std::string(" ") + name + "=\"" + htmlColourText(bgr) + "\"";
}

void paintPanel(QWidget& panel, std::uint32_t bgr) {
    QPalette colours = panel.palette();
    colours.setColor(QPalette::Window, QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF));
    panel.setPalette(colours);
    panel.setAutoFillBackground(true);
}

void wirePalettePanels(QWidget& dialog, const std::function<void(std::uint32_t)>& clicked) {
    for (std::size_t i = 0; i < colours.size(); ++i) {
        auto* panel = dialog.findChild<ClickPanel*>(QStringLiteral("Panel%1").arg(i + 3));
        const std::uint32_t colour = colours[i];
        paintPanel(*panel, colour);
        QObject::connect(panel, &ClickPanel::clicked, &dialog, [clicked, colour] { clicked(colour); });
    }
}

std::uint32_t panelColour(const QWidget& panel) {
    QColor colour = panel.palette().color(QPalette::Window);
    return std::uint32_t(colour.red()) | std::uint32_t(colour.green()) << 8 | std::uint32_t(colour.blue()) << 16;
}

} // namespace vela::palette
