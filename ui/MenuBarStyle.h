// The main menu bar's look: a menu-bar item with a picture shows the
// picture alone in Qt, and the online menus need their caption beside their
// glyph, so such items get both.
#pragma once

#include <QProxyStyle>

class TMenuBarStyle : public QProxyStyle {
 public:
  explicit TMenuBarStyle(QStyle *base);
  QSize sizeFromContents(ContentsType type, const QStyleOption *opt, const QSize &size,
                         const QWidget *w) const override;
  void drawControl(ControlElement element, const QStyleOption *opt, QPainter *p,
                   const QWidget *w) const override;

 private:
  static constexpr int GlyphGap = 4;
};
