// SPDX-License-Identifier: GPL-3.0-or-later
// The picture of the about window: an open book of sermons under a morning
// light, a spray of verbena beside it, the program's name in Latin and
// Korean letters. Drawn, not loaded, so that it is sharp at every pixel
// density.
#include "settings/ui/tfmabout.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

namespace verbana::settings::ui {
namespace {

const QColor kNavy(0x1C, 0x2E, 0x5A);
const QColor kGold(0xC8, 0x9B, 0x3C);
const QColor kInk(0x5A, 0x4A, 0x38);

void paintLight(QPainter &p)
{
    QRadialGradient glow(QPointF(150, 70), 260);
    glow.setColorAt(0, QColor(255, 250, 225, 255));
    glow.setColorAt(1, QColor(255, 250, 225, 0));
    p.fillRect(QRectF(0, 0, 510, 320), glow);
    // Rays from behind the book.
    p.save();
    p.translate(150, 150);
    for (int i = 0; i < 11; ++i) {
        const double a = (-165 + i * 15) * M_PI / 180.0;
        QPainterPath ray;
        ray.moveTo(0, 0);
        ray.lineTo(220 * std::cos(a - 0.035), 220 * std::sin(a - 0.035));
        ray.lineTo(220 * std::cos(a + 0.035), 220 * std::sin(a + 0.035));
        ray.closeSubpath();
        QRadialGradient fade(QPointF(0, 0), 220);
        fade.setColorAt(0, QColor(kGold.red(), kGold.green(), kGold.blue(), 70));
        fade.setColorAt(1, QColor(kGold.red(), kGold.green(), kGold.blue(), 0));
        p.fillPath(ray, fade);
    }
    p.restore();
}

void paintPage(QPainter &p, bool left)
{
    const double s = left ? -1 : 1;
    QPainterPath page;
    page.moveTo(150, 150);
    page.cubicTo(150 + s * 35, 132, 150 + s * 80, 134, 150 + s * 112, 146);
    page.lineTo(150 + s * 112, 236);
    page.cubicTo(150 + s * 80, 224, 150 + s * 35, 222, 150, 240);
    page.closeSubpath();
    QLinearGradient paper(QPointF(150, 150), QPointF(150 + s * 112, 150));
    paper.setColorAt(0, QColor(0xE9, 0xE1, 0xCF));
    paper.setColorAt(0.25, QColor(0xFF, 0xFD, 0xF7));
    paper.setColorAt(1, QColor(0xF7, 0xF1, 0xE2));
    p.setPen(QPen(kNavy, 1.6));
    p.setBrush(paper);
    p.drawPath(page);
    // Lines of writing.
    p.setPen(QPen(QColor(0x8A, 0x7D, 0x6A, 150), 1.1, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 7; ++i) {
        const double y = 158 + i * 10.5;
        const double inner = 150 + s * 14, outer = 150 + s * (i == 6 ? 70 : 100);
        QPainterPath line;
        line.moveTo(inner, y + 2);
        line.quadTo((inner + outer) / 2, y - 3, outer, y - 1);
        p.setBrush(Qt::NoBrush);
        p.drawPath(line);
    }
}

void paintBook(QPainter &p)
{
    // The cover under the pages.
    QPainterPath cover;
    cover.moveTo(34, 150);
    cover.lineTo(34, 244);
    cover.cubicTo(80, 234, 120, 236, 150, 250);
    cover.cubicTo(180, 236, 220, 234, 266, 244);
    cover.lineTo(266, 150);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x6B, 0x1F, 0x2A));
    p.drawPath(cover);
    paintPage(p, true);
    paintPage(p, false);
    // A ribbon marker.
    QPainterPath ribbon;
    ribbon.moveTo(196, 226);
    ribbon.lineTo(196, 262);
    ribbon.lineTo(202, 255);
    ribbon.lineTo(208, 262);
    ribbon.lineTo(208, 228);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xB0, 0x2A, 0x30));
    p.drawPath(ribbon);
    // A small cross in the light above the book.
    p.setPen(QPen(kGold, 5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(150, 62), QPointF(150, 112));
    p.drawLine(QPointF(133, 78), QPointF(167, 78));
}

void paintFlower(QPainter &p, QPointF at, double r, const QColor &colour)
{
    for (int i = 0; i < 5; ++i) {
        const double a = i * 72 * M_PI / 180.0;
        p.setBrush(colour);
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(at.x() + r * std::cos(a), at.y() + r * std::sin(a)), r * 0.9, r * 0.9);
    }
    p.setBrush(QColor(0xFF, 0xF4, 0xD0));
    p.drawEllipse(at, r * 0.45, r * 0.45);
}

// Verbena: a round head of small violet flowers on a slender stem.
void paintVerbena(QPainter &p)
{
    p.setPen(QPen(QColor(0x4E, 0x7A, 0x3E), 2.2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath stem;
    stem.moveTo(290, 252);
    stem.cubicTo(286, 220, 300, 196, 296, 170);
    p.drawPath(stem);
    QPainterPath leaf;
    leaf.moveTo(291, 226);
    leaf.quadTo(270, 214, 262, 222);
    leaf.quadTo(274, 234, 291, 226);
    p.setBrush(QColor(0x6E, 0x9A, 0x55));
    p.setPen(Qt::NoPen);
    p.drawPath(leaf);
    const QPointF heads[] = {{296, 160}, {284, 168}, {308, 168}, {290, 150}, {303, 150}, {296, 174}, {279, 156},
                             {313, 157}};
    const QColor violets[] = {QColor(0x7B, 0x4F, 0xB0), QColor(0x93, 0x68, 0xC6), QColor(0x6A, 0x3F, 0xA0)};
    int i = 0;
    for (const QPointF &h : heads)
        paintFlower(p, h, 4.6, violets[i++ % 3]);
}

void paintNames(QPainter &p)
{
    // The largest size at which the name fits its place, whatever serif
    // face the system gives.
    QFont latin(QStringLiteral("DejaVu Serif"));
    latin.setStyleHint(QFont::Serif);
    latin.setWeight(QFont::DemiBold);
    for (int size = 50; size > 20; size -= 2) {
        latin.setPixelSize(size);
        if (QFontMetricsF(latin).horizontalAdvance(QStringLiteral("Verbana")) <= 176)
            break;
    }
    p.setFont(latin);
    p.setPen(kNavy);
    p.drawText(QRectF(318, 88, 186, 64), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Verbana"));
    p.setPen(QPen(kGold, 1.5));
    p.drawLine(QPointF(322, 154), QPointF(492, 154));
    QFont korean(QStringLiteral("NanumMyeongjo"));
    korean.setPixelSize(19);
    korean.setWeight(QFont::Bold);
    p.setFont(korean);
    p.setPen(kInk);
    p.drawText(QRectF(322, 160, 186, 28), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("설교 자료 관리"));
    korean.setPixelSize(13);
    korean.setWeight(QFont::Normal);
    p.setFont(korean);
    p.drawText(QRectF(322, 186, 186, 22), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("말씀을 모으고, 찾고, 간직합니다"));
}

} // namespace

void paintAboutPicture(QPainter &p, const QSizeF &size)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(size.width() / 510.0, size.height() / 320.0);
    QLinearGradient sky(QPointF(0, 0), QPointF(0, 320));
    sky.setColorAt(0, QColor(0xFD, 0xF8, 0xEA));
    sky.setColorAt(1, QColor(0xEE, 0xE0, 0xBF));
    p.fillRect(QRectF(0, 0, 510, 320), sky);
    paintLight(p);
    paintBook(p);
    paintVerbena(p);
    paintNames(p);
    // A thin frame, as the window has no border of its own.
    p.setPen(QPen(kNavy, 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(1, 1, 508, 318));
    p.setPen(QPen(kGold, 1));
    p.drawRect(QRectF(5, 5, 500, 310));
    p.restore();
}

} // namespace verbana::settings::ui
