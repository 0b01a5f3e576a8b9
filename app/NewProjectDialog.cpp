#include "NewProjectDialog.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include "Projects.h"
#include "UserDialogs.h"

TENewProject *ENewProject = nullptr;

TENewProject::TENewProject(const QString &programDir, QWidget *parent)
    : QDialog(parent), FProgramDir(programDir) {
  setObjectName(QStringLiteral("ENewProject"));
  setWindowTitle(QStringLiteral("Proiect nou"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  setWindowModality(Qt::ApplicationModal);

  Label1 = new QLabel(QStringLiteral("Introdu nume proiect "), this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setGeometry(16, 20, 130, 21);

  ENumeProiect = new QLineEdit(this);
  ENumeProiect->setObjectName(QStringLiteral("ENumeProiect"));
  ENumeProiect->setGeometry(150, 18, 180, 24);

  BStart = new QPushButton(QStringLiteral("&Ok"), this);
  BStart->setObjectName(QStringLiteral("BStart"));
  BStart->setGeometry(90, 62, 75, 25);
  BStart->setDefault(true);
  connect(BStart, &QPushButton::clicked, this, &QDialog::accept);

  BStop = new QPushButton(QStringLiteral("&Renunt"), this);
  BStop->setObjectName(QStringLiteral("BStop"));
  BStop->setGeometry(190, 62, 75, 25);
  connect(BStop, &QPushButton::clicked, this, &QDialog::reject);

  setFixedSize(350, 104);
  if (QScreen *s = QGuiApplication::primaryScreen())
    move(s->geometry().center() - rect().center());
  ENumeProiect->setFocus();
}

TENewProject::~TENewProject() = default;

QString TENewProject::Name() const { return ENumeProiect->text(); }

void TENewProject::done(int result) {
  // Renunt, Escape and the close box leave without any check.
  if (result == QDialog::Accepted && !FormCloseQuery()) return;
  QDialog::done(result);
}

bool TENewProject::FormCloseQuery() {
  const QString problem = CreateProjectDirectory(FProgramDir, Name());
  if (problem.isEmpty()) return true;
  ShowError(problem);
  ENumeProiect->setFocus();
  return false;
}
