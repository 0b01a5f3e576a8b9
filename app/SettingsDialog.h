// "Setari comunicatie seriala": the project's serial port and baud rate,
// kept in the project's "setari.cds".
//
// The file exists from the first opening on: when the project has none, the
// dialog writes COM1 / 57600 at once, whatever the user does next. OK
// replaces every record with the one shown; any other way out leaves the
// file as it was.
#pragma once

#include <memory>
#include <string>

#include <QDialog>

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class TRecordSet;

class TESetari : public QDialog {
  Q_OBJECT
 public:
  // Loads or creates the settings file of projectDir (FormCreate); throws
  // ETableFile when the file exists but cannot be read, or cannot be created.
  explicit TESetari(const std::string &projectDir, QWidget *parent = nullptr);
  ~TESetari() override;  // FormDestroy

  QLabel *Label1;
  QComboBox *CPORT;
  QLabel *LPortDevice;  // the device the chosen port leads to ([Porturi] of TARVOPROG.INI)
  QGroupBox *RRata;
  QRadioButton *RRataItems[3];
  QPushButton *BStart;
  QPushButton *BStop;

  // Selected entries: port index 0..15 (-1 none), rate index 0..2 (-1 none).
  int PortIndex() const;
  int RateIndex() const;

  void done(int result) override;

 private:
  void FormCreate();
  void ShowPortDevice(int index);
  // Saves on OK; false (with the message shown) keeps the dialog open so
  // that nothing typed is lost when the file cannot be written.
  bool FormClose(int result);

  std::string FProjectDir;
  std::unique_ptr<TRecordSet> FTable;
  QButtonGroup *FRateGroup;
};

extern TESetari *ESetari;
