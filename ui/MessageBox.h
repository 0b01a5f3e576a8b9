// The message box: a small dialog built at run time around its text.
//
// The geometry is a pure function of the text size, the picture size, the
// number of buttons and the screen size, so it can be checked number by
// number without a screen; the dialog only applies it.
#pragma once

#include <vector>

#include <QFont>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include "MessageKinds.h"

struct TMsgBoxLayout {
  QSize Client;                // dialog client area
  QPoint Position;             // dialog top-left, relative to the screen
  QRect Panel;                 // message panel, on the dialog
  QRect Message;               // text label, on the message panel
  QRect Image;                 // picture, on the message panel (0 x 0 without one)
  QRect Bevel;                 // separator line, on the dialog
  QRect ButtonPanel;           // on the dialog
  std::vector<QRect> Buttons;  // on the button panel, left to right
};

// text: the measured W x H of the message; picture: 0 x 0 for none.
TMsgBoxLayout LayoutMessageBox(QSize text, QSize picture, int buttonCount, QSize screen);

// The rectangle the text needs in the bold form of font when it may break
// between words inside half the screen width. Carriage returns break lines.
QSize MeasureMessageText(const QString &text, const QFont &font, int screenWidth);

// What the box shows as text: carriage returns (alone or before a line feed)
// become line breaks.
QString MessageBoxDisplayText(const QString &text);

// The dialog's font: "MS Sans Serif" with 11-pixel characters (or the
// nearest sans-serif face the system has).
QFont MessageBoxFont();

// Caption shown: the title, or the kind's default title when it is empty.
QString MessageBoxCaption(const QString &title, int kind);
// 49 x 44 for warnings and errors, 37 x 36 for confirmations, else 0 x 0.
QSize MessageBoxPictureSize(int kind);

// One button of the box, after the two cancel-button adjustments.
struct TMsgButtonSpec {
  TMsgButton Member;
  QString Caption;
  int Result;       // mrNone: the button does not close the box (Help)
  bool Default;     // Enter
  bool Cancel;      // Escape
};
std::vector<TMsgButtonSpec> MessageBoxButtons(TMsgButtons buttons);
// What Escape answers: the first cancel button's result, else 2 (the close
// box, the only other way out).
int MessageBoxEscapeResult(TMsgButtons buttons);

// Builds, shows and destroys the dialog; returns its modal result.
int RunMessageBoxDialog(const QString &text, const QString &title, uint8_t kind,
                        TMsgButtons buttons);
