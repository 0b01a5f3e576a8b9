#include "ReportWindow.h"

#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "Application.h"
#include "AtomicFile.h"
#include "CodePage.h"
#include "Projects.h"
#include "RegisterReports.h"
#include "UserDialogs.h"

TERaport *ERaport = nullptr;

namespace {

// A report line may hold bytes the memo would take for line breaks or
// string ends (a run of zeros from the register); they show as blanks and
// are saved as received.
QString DisplayLine(const std::string &bytes) {
  QString s = ToDisplay(bytes);
  for (QChar &c : s)
    if (c.unicode() < 0x20 && c != u'\t') c = u' ';
  return s;
}

}  // namespace

TERaport::TERaport(const QString &title, TLineList lines, std::string projectDir, const std::string &kept,
                   QWidget *parent)
    : QDialog(parent), FLines(std::move(lines)), FProjectDir(std::move(projectDir)) {
  setObjectName(QStringLiteral("ERaport"));
  setWindowTitle(title.isEmpty() ? QStringLiteral("Raport") : title);
  setWindowModality(Qt::ApplicationModal);

  aMemo = new QPlainTextEdit(this);
  aMemo->setObjectName(QStringLiteral("aMemo"));
  aMemo->setReadOnly(true);
  aMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
  aMemo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  aMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  QFont f;
  // The report's columns line up in the face it was made for; a fixed-pitch
  // face stands in where that one is missing.
  f.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("DejaVu Sans Mono")});
  f.setStyleHint(QFont::TypeWriter);
  f.setPointSize(8);
  f.setBold(true);
  aMemo->setFont(f);
  QStringList shown;
  shown.reserve(qsizetype(FLines.size()));
  for (const std::string &l : FLines) shown << DisplayLine(l);
  aMemo->setPlainText(shown.join(u'\n'));

  Panel1 = new QFrame(this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
  Panel1->setFixedHeight(41);
  BSave = new QPushButton(QStringLiteral("&Salveaza"), Panel1);
  BSave->setObjectName(QStringLiteral("BSave"));
  BSave->setAutoDefault(false);
  BStop = new QPushButton(QStringLiteral("I&esire"), Panel1);
  BStop->setObjectName(QStringLiteral("BStop"));
  BStop->setAutoDefault(false);
  // Where the register's lines are kept (a Z report's archive, or what
  // arrived before a read broke off): the file name, its path on hover.
  LKept = new QLabel(Panel1);
  LKept->setObjectName(QStringLiteral("LKept"));
  if (!kept.empty()) {
    const QString path = QFile::decodeName(QByteArray::fromStdString(kept));
    LKept->setText(QStringLiteral("Pastrat in ") + QFileInfo(path).fileName());
    LKept->setToolTip(path);
  }
  auto *buttons = new QHBoxLayout(Panel1);
  buttons->setContentsMargins(8, 6, 8, 6);
  buttons->addWidget(LKept);
  buttons->addStretch();
  buttons->addWidget(BSave);
  buttons->addSpacing(24);
  buttons->addWidget(BStop);
  buttons->addStretch();
  connect(BSave, &QPushButton::clicked, this, [this] { RunGuarded([this] { BSaveClick(); }); });
  // The cancel button: Escape and "I&esire" close the window.
  connect(BStop, &QPushButton::clicked, this, &QDialog::reject);

  auto *layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(aMemo);
  layout->addWidget(Panel1);

  resize(564, 480);
  if (QScreen *s = QGuiApplication::primaryScreen()) move(s->geometry().center() - rect().center());
}

TERaport::~TERaport() = default;

void TERaport::BSaveClick() {
  const std::optional<QString> path = ChooseTextFileToSave(
      QStringLiteral("Salveaza raportul"), QFile::decodeName(QByteArray::fromStdString(FProjectDir)));
  if (!path) return;
  try {
    WriteLinesAtomic(PathBytes(*path), FLines);
  } catch (const EFileWrite &e) {
    ShowError(QString::fromLocal8Bit(e.what()));
  }
}

void ShowReport(const std::string &title, TLineList text, const std::string &projectDir, const std::string &kept) {
  struct TClear {
    ~TClear() { ERaport = nullptr; }
  } clear;
  std::unique_ptr<TERaport> window(new TERaport(ToDisplay(title), std::move(text), projectDir, kept));
  ERaport = window.get();
  window->exec();
}
