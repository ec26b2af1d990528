#include "editor/control/QtColors.h"

#include <QGuiApplication>
#include <QPalette>

namespace kestrim {

namespace {

QColor SystemColor(TColor Color, const QColor& Default)
{
    const QPalette palette = QGuiApplication::palette();
    switch (Color) {
    case clWindow:
        return palette.color(QPalette::Base);
    case clWindowText:
        return palette.color(QPalette::Text);
    case clMenuBar:
        return palette.color(QPalette::Window);
    default:
        return Default;
    }
}

} // namespace

QColor ToQColor(TColor Color, const QColor& Default)
{
    if (Color == clNone)
        return Default;
    if (IsSystemColor(Color))
        return SystemColor(Color, Default);
    return QColor(static_cast<int>(Color & 0xFF), static_cast<int>((Color >> 8) & 0xFF),
                  static_cast<int>((Color >> 16) & 0xFF));
}

} // namespace kestrim
