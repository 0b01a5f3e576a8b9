// The program's pictures, drawn at run time so that the program needs no
// image files beside it.
#pragma once

#include <QIcon>
#include <QPixmap>

#include "UserDialogs.h"

// Alarm (warnings and errors) 49 x 44, question (confirmations) 37 x 36,
// a null pixmap for the kinds without a picture. Transparent around the shape.
QPixmap MessageBoxPicture(int kind);
// The small glyph of a message-box button.
QIcon ButtonGlyph(TMsgButton member);
// The main window's banner, 579 x 89.
QPixmap BannerPicture();
// Glyphs of the two "Mod de lucru online" menus: off (plug apart), on (plugged in).
QIcon OnlineGlyph(bool on);
