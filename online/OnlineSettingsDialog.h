// "Setari comunicatie seriala" of the online mode: the port and speed the
// command files are carried out on, and the work directory the other
// program drops them into. The main window saves what OK leaves in the
// settings; "&Renunt" changes nothing.
#pragma once

#include <string>

#include <QDialog>

#include "OnlineSettings.h"

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class TESetariOnline : public QDialog {
  Q_OBJECT
 public:
  // Shows settings; on OK (and only then) writes the chosen port, rate and
  // directory back into it.
  explicit TESetariOnline(TOnlineSettings &settings, QWidget *parent = nullptr);
  ~TESetariOnline() override;

  QLabel *Label1;
  QComboBox *CPORT;
  QGroupBox *RRata;
  QRadioButton *RRataItems[3];
  QLabel *Label2;
  QLineEdit *edirlucru;
  QPushButton *Button1;
  QPushButton *BStart;
  QPushButton *BStop;

  int PortIndex() const;
  int RateIndex() const;
  // The dialog's own copy of the chosen directory (ends in '/').
  const std::string &Directory() const { return FDirectory; }

  // The directory chooser: a directory that cannot be used is refused with
  // "Nu pot accesa directorul" and the path, and the choice stays as it was.
  void Button1Click();

  void done(int result) override;

 protected:
  bool eventFilter(QObject *watched, QEvent *event) override;

 private:
  TOnlineSettings &FSettings;
  std::string FDirectory;
  QButtonGroup *FRateGroup;
};

extern TESetariOnline *ESetariOnline;
