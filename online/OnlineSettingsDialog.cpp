#include "OnlineSettingsDialog.h"

#include <unistd.h>

#include <QButtonGroup>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

#include "Application.h"
#include "Projects.h"
#include "SerialDialogParts.h"
#include "UserDialogs.h"

TESetariOnline *ESetariOnline = nullptr;

namespace {

QString FromPath(const std::string &path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

}  // namespace

TESetariOnline::TESetariOnline(TOnlineSettings &settings, QWidget *parent)
    : QDialog(parent), FSettings(settings), FDirectory(settings.DirectorLucru) {
  StyleSerialDialog(this, "ESetariOnline");
  const TSerialControls controls = BuildSerialControls(this, 446);
  Label1 = controls.Label1;
  CPORT = controls.CPORT;
  RRata = controls.RRata;
  for (int i = 0; i < 3; ++i) RRataItems[i] = controls.RRataItems[i];
  FRateGroup = controls.RateGroup;
  // CPORTKeyPress: typed keys are discarded; a port is picked from the list.
  CPORT->installEventFilter(this);

  Label2 = new QLabel(QStringLiteral("Director lucru"), this);
  Label2->setObjectName(QStringLiteral("Label2"));
  Label2->setGeometry(16, 106, 200, 18);

  edirlucru = new QLineEdit(this);
  edirlucru->setObjectName(QStringLiteral("edirlucru"));
  edirlucru->setReadOnly(true);
  edirlucru->setGeometry(16, 126, 392, 24);

  Button1 = new QPushButton(QStringLiteral("..."), this);
  Button1->setObjectName(QStringLiteral("Button1"));
  Button1->setGeometry(414, 126, 32, 24);
  Button1->setAutoDefault(false);
  connect(Button1, &QPushButton::clicked, this, [this] { RunGuarded([this] { Button1Click(); }); });

  BStart = new QPushButton(QStringLiteral("&Ok"), this);
  BStart->setObjectName(QStringLiteral("BStart"));
  BStart->setGeometry(140, 166, 75, 25);
  BStart->setDefault(true);
  connect(BStart, &QPushButton::clicked, this, &QDialog::accept);

  BStop = new QPushButton(QStringLiteral("&Renunt"), this);
  BStop->setObjectName(QStringLiteral("BStop"));
  BStop->setGeometry(247, 166, 75, 25);
  BStop->setAutoDefault(false);
  connect(BStop, &QPushButton::clicked, this, &QDialog::reject);

  setFixedSize(462, 202);
  if (QScreen *s = QGuiApplication::primaryScreen()) move(s->geometry().center() - rect().center());

  CPORT->setCurrentIndex(PortItemIndex(FSettings.PortOnline));
  RRataItems[RateItemIndex(FSettings.BaudRateOnline)]->setChecked(true);
  edirlucru->setText(FromPath(FDirectory));
  BStart->setFocus();
}

TESetariOnline::~TESetariOnline() = default;

int TESetariOnline::PortIndex() const { return CPORT->currentIndex(); }
int TESetariOnline::RateIndex() const { return FRateGroup->checkedId(); }

bool TESetariOnline::eventFilter(QObject *watched, QEvent *event) {
  if (watched == CPORT && event->type() == QEvent::KeyPress) {
    const QString text = static_cast<QKeyEvent *>(event)->text();
    if (!text.isEmpty() && text.at(0).isPrint()) return true;
  }
  return QDialog::eventFilter(watched, event);
}

void TESetariOnline::Button1Click() {
  const std::optional<QString> chosen = BrowseForFolder(QStringLiteral("Director lucru"), FromPath(FDirectory));
  if (!chosen || chosen->isEmpty()) return;
  QString path = *chosen;
  if (!path.endsWith(u'/')) path += u'/';
  // The processor reads, writes and deletes files there.
  const std::string bytes = PathBytes(path);
  const QFileInfo info(path);
  if (!info.isDir() || ::access(bytes.c_str(), R_OK | W_OK | X_OK) != 0) {
    ShowError(QStringLiteral("Nu pot accesa directorul \r\r") + path);
    return;
  }
  FDirectory = bytes;
  edirlucru->setText(path);
}

void TESetariOnline::done(int result) {
  if (result == QDialog::Accepted) {
    FSettings.PortOnline = PortIndex() + 1;
    FSettings.BaudRateOnline = RateIndex() + 1;
    FSettings.DirectorLucru = FDirectory;
  }
  QDialog::done(result);
}
