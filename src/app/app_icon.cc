#include "app/app_icon.h"

#include <QPainter>
#include <QPixmap>

namespace brenlow {
namespace {

QPixmap DrawIcon(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  const qreal margin = size * 0.08;
  QRectF sheet(margin, margin, size - 2 * margin, size - 2 * margin);
  painter.setPen(QPen(QColor(40, 70, 120), size / 24.0));
  painter.setBrush(Qt::white);
  painter.drawRoundedRect(sheet, size * 0.08, size * 0.08);
  QRectF header(sheet.left(), sheet.top(), sheet.width(), sheet.height() * 0.25);
  painter.setBrush(QColor(52, 120, 200));
  painter.drawRoundedRect(header, size * 0.08, size * 0.08);
  painter.setPen(QPen(QColor(120, 140, 170), size / 48.0));
  for (int i = 1; i < 4; ++i) {
    qreal y = header.bottom() + (sheet.bottom() - header.bottom()) * i / 4.0;
    painter.drawLine(QPointF(sheet.left(), y), QPointF(sheet.right(), y));
    qreal x = sheet.left() + sheet.width() * i / 4.0;
    painter.drawLine(QPointF(x, header.bottom()), QPointF(x, sheet.bottom()));
  }
  return pixmap;
}

}  // namespace

QIcon BrenlowIcon() {
  QIcon icon;
  for (int size : {16, 22, 24, 32, 48, 64, 128})
    icon.addPixmap(DrawIcon(size));
  return icon;
}

}  // namespace brenlow
