#include "Pictures.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace {

QPixmap Transparent(int w, int h) {
  QPixmap pm(w, h);
  pm.fill(Qt::transparent);
  return pm;
}

QPixmap AlarmPicture() {
  QPixmap pm = Transparent(49, 44);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  QPainterPath tri;
  tri.moveTo(24.5, 2);
  tri.lineTo(47, 42);
  tri.lineTo(2, 42);
  tri.closeSubpath();
  QLinearGradient g(0, 0, 0, 44);
  g.setColorAt(0, QColor(255, 232, 80));
  g.setColorAt(1, QColor(240, 170, 0));
  p.setBrush(g);
  p.setPen(QPen(QColor(60, 40, 0), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(tri);
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::black);
  p.drawRoundedRect(QRectF(22, 14, 5, 16), 2, 2);
  p.drawEllipse(QRectF(21.5, 33, 6, 6));
  return pm;
}

QPixmap QuestionPicture() {
  QPixmap pm = Transparent(37, 36);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  QRadialGradient g(13, 12, 24);
  g.setColorAt(0, QColor(120, 170, 255));
  g.setColorAt(1, QColor(20, 70, 190));
  p.setBrush(g);
  p.setPen(QPen(QColor(10, 30, 90), 1.5));
  p.drawEllipse(QRectF(1.5, 1, 34, 34));
  QFont f(QStringLiteral("Sans Serif"));
  f.setPixelSize(24);
  f.setBold(true);
  p.setFont(f);
  p.setPen(Qt::white);
  p.drawText(QRectF(1.5, 1, 34, 34), Qt::AlignCenter, QStringLiteral("?"));
  return pm;
}

QPixmap Glyph(void (*draw)(QPainter &)) {
  QPixmap pm = Transparent(16, 16);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  draw(p);
  return pm;
}

void DrawCheck(QPainter &p) {
  p.setPen(QPen(QColor(0, 140, 0), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPolyline(QPolygonF({QPointF(3, 8.5), QPointF(6.5, 12), QPointF(13, 4)}));
}
void DrawDoubleCheck(QPainter &p) {
  p.setPen(QPen(QColor(0, 140, 0), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPolyline(QPolygonF({QPointF(1, 8.5), QPointF(4, 12), QPointF(9, 4)}));
  p.drawPolyline(QPolygonF({QPointF(7, 8.5), QPointF(10, 12), QPointF(15, 4)}));
}
void DrawCross(QPainter &p) {
  p.setPen(QPen(QColor(200, 0, 0), 2.5, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(4, 4), QPointF(12, 12));
  p.drawLine(QPointF(12, 4), QPointF(4, 12));
}
void DrawStop(QPainter &p) {
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(200, 0, 0));
  p.drawEllipse(QRectF(2, 2, 12, 12));
  p.setPen(QPen(Qt::white, 2));
  p.drawLine(QPointF(5, 8), QPointF(11, 8));
}
void DrawRetry(QPainter &p) {
  p.setPen(QPen(QColor(0, 90, 180), 2, Qt::SolidLine, Qt::RoundCap));
  p.drawArc(QRectF(3, 3, 10, 10), 30 * 16, 280 * 16);
  p.setBrush(QColor(0, 90, 180));
  p.setPen(Qt::NoPen);
  p.drawPolygon(QPolygonF({QPointF(10, 1), QPointF(15, 4), QPointF(10, 7)}));
}
void DrawIgnore(QPainter &p) {
  p.setPen(QPen(QColor(90, 90, 90), 2, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(2, 8), QPointF(12, 8));
  p.drawPolyline(QPolygonF({QPointF(9, 4), QPointF(13, 8), QPointF(9, 12)}));
}
void DrawHelp(QPainter &p) {
  QFont f(QStringLiteral("Sans Serif"));
  f.setPixelSize(14);
  f.setBold(true);
  p.setFont(f);
  p.setPen(QColor(0, 60, 170));
  p.drawText(QRectF(0, 0, 16, 16), Qt::AlignCenter, QStringLiteral("?"));
}

// The register itself, for the banner: a body, a display and a key block.
void DrawRegister(QPainter &p, QRectF r) {
  p.setPen(QPen(QColor(20, 20, 20), 1.2));
  QLinearGradient body(r.topLeft(), r.bottomLeft());
  body.setColorAt(0, QColor(235, 235, 230));
  body.setColorAt(1, QColor(170, 170, 165));
  p.setBrush(body);
  QPainterPath shape;
  shape.moveTo(r.left() + 8, r.top() + 18);
  shape.lineTo(r.right() - 8, r.top() + 18);
  shape.lineTo(r.right(), r.bottom());
  shape.lineTo(r.left(), r.bottom());
  shape.closeSubpath();
  p.drawPath(shape);
  // Customer display on its post.
  p.setBrush(QColor(60, 60, 60));
  p.drawRect(QRectF(r.center().x() - 3, r.top() + 6, 6, 12));
  p.setBrush(QColor(30, 60, 40));
  p.drawRoundedRect(QRectF(r.center().x() - 22, r.top(), 44, 10), 2, 2);
  p.setPen(QColor(120, 255, 140));
  QFont f(QStringLiteral("Monospace"));
  f.setPixelSize(8);
  p.setFont(f);
  p.drawText(QRectF(r.center().x() - 22, r.top(), 44, 10), Qt::AlignCenter, QStringLiteral("12,50"));
  // Keys.
  p.setPen(Qt::NoPen);
  const double kw = (r.width() - 24) / 6.0;
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 6; ++col) {
      p.setBrush(col == 5 ? QColor(200, 60, 40) : QColor(70, 70, 80));
      p.drawRoundedRect(QRectF(r.left() + 12 + col * kw + 1, r.top() + 26 + row * 10, kw - 3, 7),
                        1.5, 1.5);
    }
  // Paper roll coming out of the printer slot.
  p.setBrush(Qt::white);
  p.setPen(QPen(QColor(150, 150, 150), 0.8));
  p.drawRect(QRectF(r.right() - 26, r.top() + 8, 12, 10));
}

}  // namespace

QPixmap MessageBoxPicture(int kind) {
  switch (kind) {
    case mkWarning:
    case mkError: return AlarmPicture();
    case mkConfirmation: return QuestionPicture();
    default: return QPixmap();
  }
}

QIcon ButtonGlyph(TMsgButton member) {
  switch (member) {
    case mbYes:
    case mbOK: return QIcon(Glyph(DrawCheck));
    case mbNo:
    case mbNoToAll:
    case mbCancel: return QIcon(Glyph(DrawCross));
    case mbAbort: return QIcon(Glyph(DrawStop));
    case mbRetry: return QIcon(Glyph(DrawRetry));
    case mbIgnore: return QIcon(Glyph(DrawIgnore));
    case mbAll:
    case mbYesToAll: return QIcon(Glyph(DrawDoubleCheck));
    case mbHelp: return QIcon(Glyph(DrawHelp));
    default: return QIcon();
  }
}

QPixmap BannerPicture() {
  QPixmap pm(579, 89);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(0, 0, 579, 89);
  sky.setColorAt(0, QColor(8, 70, 82));
  sky.setColorAt(0.6, QColor(18, 153, 170));
  sky.setColorAt(1, QColor(150, 220, 228));
  p.fillRect(pm.rect(), sky);
  // A thin receipt ribbon across the banner.
  p.setPen(QPen(QColor(255, 255, 255, 70), 14));
  p.drawLine(QPointF(-10, 80), QPointF(600, 40));
  DrawRegister(p, QRectF(22, 10, 110, 70));
  QFont title(QStringLiteral("Sans Serif"));
  title.setPixelSize(34);
  title.setBold(true);
  p.setFont(title);
  p.setPen(QColor(0, 0, 0, 90));
  p.drawText(QRectF(162, 12, 400, 44), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("LUMERA MX 7350"));
  p.setPen(Qt::white);
  p.drawText(QRectF(160, 10, 400, 44), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("LUMERA MX 7350"));
  QFont sub(QStringLiteral("Sans Serif"));
  sub.setPixelSize(14);
  p.setFont(sub);
  p.setPen(QColor(230, 250, 252));
  p.drawText(QRectF(162, 54, 400, 24), Qt::AlignLeft | Qt::AlignVCenter,
             QStringLiteral("Casa de marcat fiscala  -  programare prin RS-232"));
  return pm;
}

QIcon OnlineGlyph(bool on) {
  QPixmap pm = Transparent(16, 16);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(on ? QColor(0, 170, 0) : QColor(190, 0, 0));
  p.drawEllipse(QRectF(2, 2, 12, 12));
  p.setBrush(QColor(255, 255, 255, 120));
  p.drawEllipse(QRectF(4.5, 4, 5, 4));
  return QIcon(pm);
}
