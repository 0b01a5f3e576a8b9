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
#include "ProjectTables.h"
#include "Schemas.h"
#include "SerialSettings.h"
#include "TableFile.h"
#include "UserDialogs.h"

TESetari *ESetari = nullptr;

TESetari::TESetari(const std::string &projectDir, QWidget *parent)
    : QDialog(parent), FProjectDir(projectDir) {
  setObjectName(QStringLiteral("ESetari"));
  setWindowTitle(QStringLiteral("Setari comunicatie seriala"));
  setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  setWindowModality(Qt::ApplicationModal);
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, QColor(153, 180, 209));
  setPalette(pal);
  QFont f(QStringLiteral("MS Sans Serif"));
  f.setStyleHint(QFont::SansSerif);
  f.setPixelSize(11);
  f.setBold(true);
  setFont(f);

  Label1 = new QLabel(QStringLiteral("Port serial   COM "), this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setGeometry(16, 14, 120, 21);

  CPORT = new QComboBox(this);
  CPORT->setObjectName(QStringLiteral("CPORT"));
  CPORT->setGeometry(140, 12, 61, 24);
  // A list to pick from: a typed port could only be another way to get a
  // port that does not exist.
  CPORT->setEditable(false);
  for (int i = 1; i <= 16; ++i) CPORT->addItem(QStringLiteral(" %1").arg(i));
  CPORT->setCurrentIndex(0);

  // Which device the chosen port leads to on this machine, so that a
  // technician sees "COM 3" is the USB adapter before any register action.
  LPortDevice = new QLabel(this);
  LPortDevice->setObjectName(QStringLiteral("LPortDevice"));
  LPortDevice->setGeometry(206, 14, 104, 21);
  QFont plain = f;
  plain.setBold(false);
  LPortDevice->setFont(plain);
  connect(CPORT, &QComboBox::currentIndexChanged, this, &TESetari::ShowPortDevice);
  ShowPortDevice(CPORT->currentIndex());

  RRata = new QGroupBox(QStringLiteral("             Rata de transmisie                 "), this);
  RRata->setObjectName(QStringLiteral("RRata"));
  RRata->setGeometry(8, 44, 300, 52);
  FRateGroup = new QButtonGroup(this);
  auto *rateLayout = new QHBoxLayout(RRata);
  const char *rates[3] = {"19200", "38400", "57600"};
  for (int i = 0; i < 3; ++i) {
    RRataItems[i] = new QRadioButton(QString::fromLatin1(rates[i]), RRata);
    RRataItems[i]->setObjectName(QStringLiteral("RRata%1").arg(i));
    FRateGroup->addButton(RRataItems[i], i);
    rateLayout->addWidget(RRataItems[i]);
  }
  RRataItems[2]->setChecked(true);

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
  const QString device = index < 0 ? QString() : QFile::decodeName(QByteArray::fromStdString(PortDevice(index + 1)));
  // A long path (a by-id name, a simulator's link) keeps both of its ends.
  LPortDevice->setText(QFontMetrics(LPortDevice->font()).elidedText(device, Qt::ElideMiddle, LPortDevice->width()));
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
