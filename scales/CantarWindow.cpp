#include "CantarWindow.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QShowEvent>
#include <QStyle>
#include <QVBoxLayout>

#include "Application.h"
#include "CodePage.h"
#include "ProgramDir.h"
#include "ScaleTransfer.h"
#include "UserDialogs.h"

TECantar *ECantar = nullptr;

TECantar::TECantar(std::string projectDir, const TRecordSet &plu, QWidget *parent)
    : TEditorDialog(QStringLiteral("ECantar"), QStringLiteral("Programare cantare"), parent),
      FProjectDir(std::move(projectDir)),
      FPlu(plu) {
  auto *body = new QWidget(this);
  auto *grid = new QGridLayout(body);
  grid->setContentsMargins(12, 12, 12, 6);
  grid->setHorizontalSpacing(8);

  Label1 = new QLabel(QStringLiteral("Lista cantare"), body);
  BitBtn4 = AddButton(body, "BitBtn4", QStringLiteral("&Elimina"), [this] { BitBtn4Click(); }, false);
  BitBtn4->setIcon(style()->standardIcon(QStyle::SP_DialogDiscardButton));
  BitBtn4->setToolTip(QStringLiteral("Sterge adresa selectata din lista"));
  ListaIP = new QListWidget(body);
  ListaIP->setObjectName(QStringLiteral("ListaIP"));
  Label2 = new QLabel(QStringLiteral("IP cantar"), body);
  EIp = new QLineEdit(body);
  EIp->setObjectName(QStringLiteral("EIp"));
  BitBtn3 = AddButton(body, "BitBtn3", QStringLiteral("A&dauga"), [this] { BitBtn3Click(); }, false);
  BitBtn3->setIcon(style()->standardIcon(QStyle::SP_ArrowUp));
  BitBtn3->setToolTip(QStringLiteral("Adauga adresa in lista de cantare"));
  Label3 = new QLabel(QStringLiteral("Prefix  cod cantar"), body);
  Prefix = new QLineEdit(body);
  Prefix->setObjectName(QStringLiteral("Prefix"));
  // PrefixKeyPress: digits only reach the prefix (pasted text too).
  Prefix->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), Prefix));
  Label2->setBuddy(EIp);
  Label3->setBuddy(Prefix);

  grid->addWidget(Label1, 0, 0, Qt::AlignLeft | Qt::AlignBottom);
  grid->addWidget(BitBtn4, 0, 1, Qt::AlignRight);
  grid->addWidget(ListaIP, 1, 0, 1, 2);
  grid->addWidget(Label2, 2, 0, 1, 2);
  grid->addWidget(EIp, 3, 0);
  grid->addWidget(BitBtn3, 3, 1);
  grid->addWidget(Label3, 4, 0, 1, 2);
  grid->addWidget(Prefix, 5, 0);

  BitBtn2 = AddButton(Panel1, "BitBtn2", QStringLiteral("&Programare cantare"), [this] { BitBtn2Click(); });
  BStop = new QPushButton(QStringLiteral("I&esire"), Panel1);
  BStop->setObjectName(QStringLiteral("BStop"));
  BStop->setAutoDefault(false);
  connect(BStop, &QPushButton::clicked, this, &QDialog::reject);
  Status = new QLabel(Panel1);
  Status->setObjectName(QStringLiteral("Status"));
  auto *bottom = new QHBoxLayout(Panel1);
  bottom->setContentsMargins(8, 6, 8, 6);
  bottom->addWidget(BitBtn2);
  bottom->addWidget(Status, 1, Qt::AlignCenter);
  bottom->addWidget(BStop);
  g->hide();  // the transfer shows no gauge

  // Enter in the address box adds it; nothing is a default button, so Enter
  // never starts the transfer by accident.
  connect(EIp, &QLineEdit::returnPressed, this, [this] { RunAction([this] { BitBtn3Click(); }, false); });

  auto *outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->setSpacing(0);
  outer->addWidget(body, 1);
  outer->addWidget(Panel1);
  FixSizeAndCentre(420, 380);
}

TECantar::~TECantar() = default;

void TECantar::showEvent(QShowEvent *e) {
  TEditorDialog::showEvent(e);
  if (FShown) return;
  FShown = true;
  RunGuarded([this] { FormShow(); });
}

void TECantar::FormShow() {
  EIp->setFocus();
  TScaleSettings s;
  try {
    s = LoadScaleSettings(FProjectDir);
  } catch (const std::exception &e) {
    ShowError(QString::fromLocal8Bit(e.what()));
  }
  ListaIP->clear();
  for (const std::string &a : s.Scales) ListaIP->addItem(ToDisplay(a));
  Prefix->setText(ToDisplay(s.Prefix));
}

TScaleSettings TECantar::Settings() const {
  TScaleSettings s;
  for (int i = 0; i < ListaIP->count(); ++i) s.Scales.push_back(FromDisplay(ListaIP->item(i)->text()));
  s.Prefix = FromDisplay(Prefix->text());
  return s;
}

void TECantar::FormClose() {
  try {
    SaveScaleSettings(FProjectDir, Settings());
  } catch (const std::exception &e) {
    ShowError(QString::fromLocal8Bit(e.what()));
  }
}

void TECantar::done(int result) {
  if (Busy()) return;
  if (!FClosed) {
    FClosed = true;
    RunGuarded([this] { FormClose(); });
  }
  TEditorDialog::done(result);
}

void TECantar::BitBtn3Click() {
  const QString text = EIp->text();
  if (!text.isEmpty()) {
    bool fits = true;
    const std::string address = FromDisplay(text, &fits);
    std::string problem = fits ? ScaleAddressProblem(address) : "Adresa cantarului contine caractere nepermise !";
    if (!problem.empty()) {
      ShowError(ToDisplay(problem));
    } else {
      ListaIP->addItem(text);
      EIp->clear();
      ListaIP->setCurrentRow(ListaIP->count() - 1);
    }
  }
  EIp->setFocus();
}

void TECantar::BitBtn4Click() {
  if (QListWidgetItem *item = ListaIP->currentItem(); item && item->isSelected()) delete item;
  ListaIP->setFocus();
}

void TECantar::BitBtn2Click() {
  // The driver may take a while; the window keeps painting meanwhile (the
  // wait runs in an event loop, clicks are held off by the action guard)
  // and says what it waits for.
  Status->setText(QStringLiteral("Transmisie in curs..."));
  struct TClear {
    QLabel *Label;
    ~TClear() { Label->clear(); }
  } clear{Status};
  const TScaleOutcome o = SendToScales(FPlu, Settings(), ProgramDirectory());
  Status->clear();
  ShowMessageBox(ToDisplay(o.Text), ToDisplay(o.Title), o.Kind, MsgOK);
}
