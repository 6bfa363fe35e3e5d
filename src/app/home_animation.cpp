// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/home_animation.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <cmath>

namespace verbana {

QIcon homeAnimationFrame(int frame, qreal dpr)
{
    const QSize size = kHomeAnimationSize;
    QPixmap pixmap(size * dpr);
    pixmap.setDevicePixelRatio(dpr);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box(0.5, 0.5, size.width() - 1, size.height() - 1);
    QLinearGradient back(box.topLeft(), box.bottomLeft());
    back.setColorAt(0, QColor(0xFD, 0xF8, 0xEA));
    back.setColorAt(1, QColor(0xEE, 0xE0, 0xBF));
    p.setPen(QPen(QColor(0x1C, 0x2E, 0x5A), 1));
    p.setBrush(back);
    p.drawRoundedRect(box, 4, 4);

    // The flower turns a fifth of a circle over the frames.
    const double turn = frame * (72.0 / kHomeAnimationFrames) * M_PI / 180.0;
    const QPointF centre(12, 11);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 5; ++i) {
        const double a = turn + i * 72 * M_PI / 180.0;
        p.setBrush(i % 2 ? QColor(0x93, 0x68, 0xC6) : QColor(0x7B, 0x4F, 0xB0));
        p.drawEllipse(QPointF(centre.x() + 4.2 * std::cos(a), centre.y() + 4.2 * std::sin(a)), 3.6, 3.6);
    }
    p.setBrush(QColor(0xFF, 0xF4, 0xD0));
    p.drawEllipse(centre, 1.8, 1.8);

    QFont font(QStringLiteral("NanumGothic"));
    font.setPixelSize(12);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(0x1C, 0x2E, 0x5A));
    p.drawText(QRectF(24, 0, size.width() - 28, size.height()), Qt::AlignCenter, QStringLiteral("Verbana 홈페이지"));

    // A light passing from left to right.
    const double x = -30 + (size.width() + 60) * frame / double(kHomeAnimationFrames);
    QLinearGradient shine(QPointF(x - 14, 0), QPointF(x + 14, 0));
    shine.setColorAt(0, QColor(255, 255, 255, 0));
    shine.setColorAt(0.5, QColor(255, 255, 255, 150));
    shine.setColorAt(1, QColor(255, 255, 255, 0));
    QPainterPath clip;
    clip.addRoundedRect(box, 4, 4);
    p.setClipPath(clip);
    p.fillRect(box, shine);
    p.end();
    return QIcon(pixmap);
}

} // namespace verbana
