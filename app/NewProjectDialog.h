// "Proiect nou": asks for the name of a new project and creates its
// directory before it lets the dialog close with OK.
#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;

class TENewProject : public QDialog {
  Q_OBJECT
 public:
  // programDir ends in '/'; the project directory is programDir + the name.
  explicit TENewProject(const QString &programDir, QWidget *parent = nullptr);
  ~TENewProject() override;

  // The name exactly as typed (no trimming).
  QString Name() const;

  QLabel *Label1;
  QLineEdit *ENumeProiect;
  QPushButton *BStart;
  QPushButton *BStop;

  void done(int result) override;

 private:
  // Runs only on the way out with OK; false keeps the dialog open.
  bool FormCloseQuery();

  QString FProgramDir;
};

extern TENewProject *ENewProject;
