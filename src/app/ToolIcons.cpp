#include "app/ToolIcons.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStyle>
#include <QTransform>
#include <QtMath>

#include <cmath>

namespace kestrim {
namespace {

constexpr int IconSize = 32;

const QColor PaperColor(250, 250, 250);
const QColor LineColor(70, 70, 70);
const QColor BoardColor(176, 124, 70);
const QColor RunColor(40, 150, 60);
const QColor GearColor(90, 110, 140);

QStyle::StandardPixmap StandardFallback(TToolIcon Icon)
{
    switch (Icon) {
    case TToolIcon::New: return QStyle::SP_FileIcon;
    case TToolIcon::Open: return QStyle::SP_DialogOpenButton;
    case TToolIcon::Save: return QStyle::SP_DialogSaveButton;
    case TToolIcon::Run: return QStyle::SP_MediaPlay;
    case TToolIcon::Stop: return QStyle::SP_MediaStop;
    case TToolIcon::Clear: return QStyle::SP_LineEditClearButton;
    case TToolIcon::Back: return QStyle::SP_ArrowBack;
    case TToolIcon::Forward: return QStyle::SP_ArrowForward;
    default: return QStyle::SP_CustomBase;
    }
}

const char* ThemeName(TToolIcon Icon)
{
    switch (Icon) {
    case TToolIcon::New: return "document-new";
    case TToolIcon::Open: return "document-open";
    case TToolIcon::Save: return "document-save";
    case TToolIcon::Cut: return "edit-cut";
    case TToolIcon::Copy: return "edit-copy";
    case TToolIcon::Paste: return "edit-paste";
    case TToolIcon::Run: return "media-playback-start";
    case TToolIcon::Stop: return "process-stop";
    case TToolIcon::LoadConfig: return "document-properties";
    case TToolIcon::Clear: return "edit-clear";
    case TToolIcon::Back: return "go-previous";
    case TToolIcon::Forward: return "go-next";
    default: return "";
    }
}

void DrawPage(QPainter& Painter, const QRectF& Page)
{
    Painter.setPen(QPen(LineColor, 1.5));
    Painter.setBrush(PaperColor);
    Painter.drawRect(Page);
    Painter.setPen(QPen(LineColor.lighter(160), 1.5));
    for (qreal y = Page.top() + 5; y < Page.bottom() - 3; y += 4)
        Painter.drawLine(QPointF(Page.left() + 3, y), QPointF(Page.right() - 3, y));
}

void DrawClipboard(QPainter& Painter)
{
    Painter.setPen(QPen(BoardColor.darker(140), 1.5));
    Painter.setBrush(BoardColor);
    Painter.drawRoundedRect(QRectF(5, 4, 22, 26), 2, 2);
    DrawPage(Painter, QRectF(9, 8, 14, 18));
    Painter.setPen(QPen(LineColor, 1.5));
    Painter.setBrush(QColor(190, 190, 190));
    Painter.drawRoundedRect(QRectF(11, 2, 10, 5), 1.5, 1.5);
}

void DrawScissors(QPainter& Painter)
{
    Painter.setPen(QPen(LineColor, 2.5, Qt::SolidLine, Qt::RoundCap));
    Painter.drawLine(QPointF(11, 20), QPointF(22, 3));
    Painter.drawLine(QPointF(21, 20), QPointF(10, 3));
    Painter.setBrush(Qt::NoBrush);
    Painter.setPen(QPen(QColor(200, 40, 40), 2.5));
    Painter.drawEllipse(QPointF(9, 24), 4.5, 4.5);
    Painter.drawEllipse(QPointF(23, 24), 4.5, 4.5);
}

void DrawRunMark(QPainter& Painter, const QRectF& Box)
{
    QPainterPath triangle;
    triangle.moveTo(Box.topLeft());
    triangle.lineTo(Box.right(), Box.center().y());
    triangle.lineTo(Box.bottomLeft());
    triangle.closeSubpath();
    Painter.setPen(QPen(RunColor.darker(150), 1.2));
    Painter.setBrush(RunColor);
    Painter.drawPath(triangle);
}

// A circling arrow around the run mark: the script runs again and again.
void DrawRepeatArrow(QPainter& Painter, const QRectF& Circle)
{
    Painter.setBrush(Qt::NoBrush);
    Painter.setPen(QPen(GearColor, 2.5, Qt::SolidLine, Qt::RoundCap));
    constexpr int StartDegrees = 60;
    constexpr int SpanDegrees = 290;
    Painter.drawArc(Circle, StartDegrees * 16, SpanDegrees * 16);
    // The head at the arc's end, pointing along it (counter-clockwise).
    const QPointF tip(Circle.center().x() + Circle.width() / 2 * std::cos(qDegreesToRadians(StartDegrees + SpanDegrees)),
                      Circle.center().y() - Circle.height() / 2 * std::sin(qDegreesToRadians(StartDegrees + SpanDegrees)));
    QPainterPath head;
    head.moveTo(tip + QPointF(-5, -2));
    head.lineTo(tip + QPointF(3, -4));
    head.lineTo(tip + QPointF(1, 4));
    head.closeSubpath();
    Painter.setPen(Qt::NoPen);
    Painter.setBrush(GearColor);
    Painter.drawPath(head);
}

// A gear of eight teeth around Centre: the settings of the configuration file.
void DrawGear(QPainter& Painter, const QPointF& Centre, qreal Radius)
{
    constexpr int Teeth = 8;
    QPainterPath gear;
    gear.addEllipse(Centre, Radius * 0.72, Radius * 0.72);
    for (int i = 0; i < Teeth; ++i) {
        QTransform turn;
        turn.translate(Centre.x(), Centre.y());
        turn.rotate(360.0 * i / Teeth);
        QPainterPath tooth;
        tooth.addRect(QRectF(-Radius * 0.2, -Radius, Radius * 0.4, Radius * 0.5));
        gear = gear.united(turn.map(tooth));
    }
    QPainterPath hole;
    hole.addEllipse(Centre, Radius * 0.3, Radius * 0.3);
    Painter.setPen(QPen(GearColor.darker(150), 1.2));
    Painter.setBrush(GearColor);
    Painter.drawPath(gear.subtracted(hole));
}

QIcon DrawnIcon(TToolIcon Icon)
{
    QPixmap pixmap(IconSize, IconSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    switch (Icon) {
    case TToolIcon::Cut:
        DrawScissors(painter);
        break;
    case TToolIcon::Copy:
        DrawPage(painter, QRectF(4, 3, 15, 19));
        DrawPage(painter, QRectF(13, 10, 15, 19));
        break;
    case TToolIcon::Paste:
        DrawClipboard(painter);
        break;
    case TToolIcon::RunClipboard:
        DrawClipboard(painter);
        DrawRunMark(painter, QRectF(16, 14, 14, 16));
        break;
    case TToolIcon::LiveRun:
        DrawRepeatArrow(painter, QRectF(3, 3, 26, 26));
        DrawRunMark(painter, QRectF(11, 9, 12, 14));
        break;
    case TToolIcon::LoadConfig:
        DrawPage(painter, QRectF(4, 2, 18, 25));
        DrawGear(painter, QPointF(21, 21), 9);
        break;
    case TToolIcon::Workbench:
        // The script on the left, the data above the result on the right.
        DrawPage(painter, QRectF(2, 3, 14, 26));
        DrawPage(painter, QRectF(18, 3, 12, 12));
        DrawPage(painter, QRectF(18, 17, 12, 12));
        break;
    default:
        break;
    }
    return QIcon(pixmap);
}

} // namespace

QIcon ToolIcon(TToolIcon Icon)
{
    const QStyle::StandardPixmap standard = StandardFallback(Icon);
    const QIcon fallback = standard == QStyle::SP_CustomBase ? DrawnIcon(Icon)
                                                              : QApplication::style()->standardIcon(standard);
    const char* themeName = ThemeName(Icon);
    return *themeName ? QIcon::fromTheme(themeName, fallback) : fallback;
}

} // namespace kestrim
