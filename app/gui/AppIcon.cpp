#include "app/gui/AppIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include "convert/StringTable.h"

namespace {

// The icon drawn on a square of side pixels.
QPixmap DrawIcon(int side) {
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(side / 64.0, side / 64.0);
    // Globe: a shaded disc with two meridians and the equator.
    QRadialGradient shade(QPointF(26, 26), 30);
    shade.setColorAt(0, QColor(90, 160, 230));
    shade.setColorAt(1, QColor(20, 70, 150));
    p.setPen(QPen(QColor(15, 45, 100), 1.5));
    p.setBrush(shade);
    const QRectF globe(10, 14, 40, 40);
    p.drawEllipse(globe);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(220, 235, 250), 1.5));
    p.drawEllipse(QRectF(22, 14, 16, 40));
    p.drawLine(QPointF(10, 34), QPointF(50, 34));
    p.drawEllipse(QRectF(13, 24, 34, 20));
    // Orbit and satellite.
    p.setPen(QPen(QColor(240, 170, 30), 2.5));
    p.drawArc(QRectF(4, 4, 56, 56), 20 * 16, 140 * 16);
    p.setPen(QPen(QColor(90, 60, 10), 1));
    p.setBrush(QColor(250, 200, 60));
    p.save();
    p.translate(50, 12);
    p.rotate(45);
    p.drawRect(QRectF(-8, -2.5, 5, 5));
    p.drawRect(QRectF(3, -2.5, 5, 5));
    p.setBrush(QColor(200, 200, 210));
    p.drawEllipse(QRectF(-3, -3, 6, 6));
    p.restore();
    return pixmap;
}

}  // namespace

QIcon AppIcon() {
    QIcon icon;
    for (const int side : {16, 24, 32, 48, 64, 128}) icon.addPixmap(DrawIcon(side));
    return icon;
}

QString Caption() { return QString::fromLatin1(LoadString(kStrCaption).data()); }
