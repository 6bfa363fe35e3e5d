// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing/colour_map.h"

#include <QApplication>
#include <QPalette>

namespace verbana::editing {

QColor toQColor(colours::TColor colour)
{
    if (colour == colours::clNone)
        return Qt::transparent;
    if (colour & colours::kSystemBase) {
        const QPalette palette = QApplication::palette();
        // The Windows system colour indexes 0 to 24.
        static const QPalette::ColorRole roles[] = {
            QPalette::Mid, QPalette::Window, QPalette::Highlight, QPalette::Mid, QPalette::Button,
            QPalette::Base, QPalette::Shadow, QPalette::ButtonText, QPalette::Text, QPalette::HighlightedText,
            QPalette::Mid, QPalette::Midlight, QPalette::Dark, QPalette::Highlight, QPalette::HighlightedText,
            QPalette::Button, QPalette::Dark, QPalette::PlaceholderText, QPalette::ButtonText,
            QPalette::WindowText, QPalette::Light, QPalette::Shadow, QPalette::Midlight, QPalette::ToolTipText,
            QPalette::ToolTipBase};
        const unsigned index = colour - colours::kSystemBase;
        return index < std::size(roles) ? palette.color(roles[index]) : palette.color(QPalette::Text);
    }
    return QColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
}

} // namespace verbana::editing
