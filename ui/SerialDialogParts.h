// What the two "Setari comunicatie seriala" dialogs (the project's serial
// settings and the online mode's) share: their look, the port list and the
// baud-rate group, built once.
#pragma once

class QButtonGroup;
class QComboBox;
class QDialog;
class QGroupBox;
class QLabel;
class QRadioButton;

// Caption, tool-window frame, the blue-grey background and the bold
// "MS Sans Serif" of both dialogs.
void StyleSerialDialog(QDialog *dialog, const char *objectName);

// The label "Port serial   COM ", the list " 1" .. " 16" (picked, never
// typed) and the group "Rata de transmisie" with 19200, 38400 and 57600
// (ids 0..2 in `group`), the group rateWidth pixels wide.
struct TSerialControls {
  QLabel *Label1;
  QComboBox *CPORT;
  QGroupBox *RRata;
  QRadioButton *RRataItems[3];
  QButtonGroup *RateGroup;
};
TSerialControls BuildSerialControls(QDialog *dialog, int rateWidth);
