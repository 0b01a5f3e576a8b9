#include "MenuBarStyle.h"

#include <algorithm>

#include <QPainter>
#include <QStyleOptionMenuItem>

TMenuBarStyle::TMenuBarStyle(QStyle *base) : QProxyStyle(base ? base->name() : QString()) {}

QSize TMenuBarStyle::sizeFromContents(ContentsType type, const QStyleOption *opt, const QSize &size,
                                      const QWidget *w) const {
  if (type == CT_MenuBarItem)
    if (auto *mi = qstyleoption_cast<const QStyleOptionMenuItem *>(opt);
        mi && !mi->icon.isNull() && !mi->text.isEmpty()) {
      const QSize text = mi->fontMetrics.size(Qt::TextShowMnemonic, mi->text);
      const int icon = pixelMetric(PM_SmallIconSize, opt, w);
      return QProxyStyle::sizeFromContents(
          type, opt, QSize(icon + GlyphGap + text.width(), std::max(icon, text.height())), w);
    }
  return QProxyStyle::sizeFromContents(type, opt, size, w);
}

void TMenuBarStyle::drawControl(ControlElement element, const QStyleOption *opt, QPainter *p,
                                const QWidget *w) const {
  auto *mi = qstyleoption_cast<const QStyleOptionMenuItem *>(opt);
  if (element != CE_MenuBarItem || !mi || mi->icon.isNull() || mi->text.isEmpty()) {
    QProxyStyle::drawControl(element, opt, p, w);
    return;
  }
  QStyleOptionMenuItem plain = *mi;  // background and highlight only
  plain.icon = QIcon();
  plain.text.clear();
  QProxyStyle::drawControl(element, &plain, p, w);

  const int icon = pixelMetric(PM_SmallIconSize, opt, w);
  const QSize text = mi->fontMetrics.size(Qt::TextShowMnemonic, mi->text);
  const int left = mi->rect.left() + (mi->rect.width() - icon - GlyphGap - text.width()) / 2;
  const bool enabled = mi->state & State_Enabled;
  mi->icon.paint(p, QRect(left, mi->rect.center().y() - icon / 2, icon, icon), Qt::AlignCenter,
                 enabled ? QIcon::Normal : QIcon::Disabled);
  const bool lit = (mi->state & State_Selected) && (mi->state & State_Sunken);  // menu open
  drawItemText(p, QRect(left + icon + GlyphGap, mi->rect.top(), text.width(), mi->rect.height()),
               Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, mi->palette, enabled, mi->text,
               lit ? QPalette::HighlightedText : QPalette::ButtonText);
}
