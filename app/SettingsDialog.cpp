#include "SettingsDialog.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

#include "ComPortMap.h"
#include "NetAddress.h"
#include "ProjectTables.h"
#include "Schemas.h"
#include "SerialSettings.h"
#include "TableFile.h"
#include "SerialDialogParts.h"
#include "UserDialogs.h"

TESetari *ESetari = nullptr;

TESetari::TESetari(const std::string &projectDir, QWidget *parent)
    : QDialog(parent), FProjectDir(projectDir) {
  StyleSerialDialog(this, "ESetari");
  const TSerialControls controls = BuildSerialControls(this, 300);
  Label1 = controls.Label1;
  CPORT = controls.CPORT;
  RRata = controls.RRata;
  for (int i = 0; i < 3; ++i) RRataItems[i] = controls.RRataItems[i];
  FRateGroup = controls.RateGroup;
  RRataItems[2]->setChecked(true);

  // Which device the chosen port leads to on this machine, so that a
  // technician sees "COM 3" is the USB adapter before any register action.
  LPortDevice = new QLabel(this);
  LPortDevice->setObjectName(QStringLiteral("LPortDevice"));
  LPortDevice->setGeometry(206, 14, 104, 21);
  QFont plain = font();
  plain.setBold(false);
  LPortDevice->setFont(plain);
  connect(CPORT, &QComboBox::currentIndexChanged, this, &TESetari::ShowPortDevice);
  ShowPortDevice(CPORT->currentIndex());

  BStart = new QPushButton(QStringLiteral("&Ok"), this);
  BStart->setObjectName(QStringLiteral("BStart"));
  BStart->setGeometry(64, 108, 75, 25);
  BStart->setDefault(true);
  connect(BStart, &QPushButton::clicked, this, &QDialog::accept);

  BStop = new QPushButton(QStringLiteral("&Renunt"), this);
  BStop->setObjectName(QStringLiteral("BStop"));
  BStop->setGeometry(177, 108, 75, 25);
  connect(BStop, &QPushButton::clicked, this, &QDialog::reject);

  setFixedSize(316, 144);
  if (QScreen *s = QGuiApplication::primaryScreen())
    move(s->geometry().center() - rect().center());

  FormCreate();
}

TESetari::~TESetari() = default;

void TESetari::FormCreate() {
  const std::string path = ProjectTablePath(FProjectDir, tiSetari);
  const bool existed = QFileInfo::exists(QFile::decodeName(QByteArray::fromStdString(path)));
  FTable = std::make_unique<TRecordSet>(OpenProjectTable(FProjectDir, tiSetari));
  if (!existed) {
    FTable->Append();
    FTable->SetInteger("Port", SetariDefaultPort);
    FTable->SetInteger("Baud", SetariDefaultBaud);
    FTable->Post();
    SaveProjectTable(FProjectDir, tiSetari, *FTable);
  }
  const TSerialSettings s = ReadSerialSettings(*FTable);
  if (s.Port >= 1 && s.Port <= 16) CPORT->setCurrentIndex(s.Port - 1);
  if (s.Baud >= 1 && s.Baud <= 3) RRataItems[s.Baud - 1]->setChecked(true);
}

void TESetari::ShowPortDevice(int index) {
  const std::string where = index < 0 ? std::string() : PortDevice(index + 1);
  const QString device = QFile::decodeName(QByteArray::fromStdString(where));
  const QFontMetrics metrics(LPortDevice->font());
  // A long path (a by-id name, a simulator's link) keeps both of its ends.
  QString shown = metrics.elidedText(device, Qt::ElideMiddle, LPortDevice->width());
  // A device server's address that does not fit shows its host and port,
  // which tell one server from another; the whole URL is in the tool tip.
  TNetAddress address;
  if (shown != device && ParseNetAddress(where, address, nullptr))
    shown = metrics.elidedText(QString::fromStdString(address.HostPort()), Qt::ElideLeft, LPortDevice->width());
  LPortDevice->setText(shown);
  LPortDevice->setToolTip(device);
}

int TESetari::PortIndex() const { return CPORT->currentIndex(); }
int TESetari::RateIndex() const { return FRateGroup->checkedId(); }

bool TESetari::FormClose(int result) {
  if (result != QDialog::Accepted) return true;
  // A copy is filled and saved, so the dialog's table is only replaced once
  // the file really holds the new record.
  // A file that lacks one of the two fields is replaced by a proper table;
  // keeping its other fields would only keep what no one reads.
  TRecordSet next = FTable->HasField("Port") && FTable->HasField("Baud") ? TRecordSet(*FTable)
                                                                        : NewTable(tiSetari);
  next.EmptyTable();
  next.Append();
  next.SetInteger("Port", PortIndex() + 1);
  next.SetInteger("Baud", RateIndex() + 1);
  next.Post();
  try {
    SaveProjectTable(FProjectDir, tiSetari, next);
  } catch (const std::exception &e) {
    ShowError(QString::fromLocal8Bit(e.what()));
    return false;
  }
  *FTable = std::move(next);
  return true;
}

void TESetari::done(int result) {
  if (!FormClose(result)) return;
  QDialog::done(result);
}
