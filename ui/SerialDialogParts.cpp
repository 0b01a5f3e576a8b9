#include "SerialDialogParts.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>

void StyleSerialDialog(QDialog *dialog, const char *objectName) {
  dialog->setObjectName(QString::fromLatin1(objectName));
  dialog->setWindowTitle(QStringLiteral("Setari comunicatie seriala"));
  dialog->setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint);
  dialog->setWindowModality(Qt::ApplicationModal);
  dialog->setAutoFillBackground(true);
  QPalette pal = dialog->palette();
  pal.setColor(QPalette::Window, QColor(153, 180, 209));
  dialog->setPalette(pal);
  QFont f(QStringLiteral("MS Sans Serif"));
  f.setStyleHint(QFont::SansSerif);
  f.setPixelSize(11);
  f.setBold(true);
  dialog->setFont(f);
}

TSerialControls BuildSerialControls(QDialog *dialog, int rateWidth) {
  TSerialControls c;
  c.Label1 = new QLabel(QStringLiteral("Port serial   COM "), dialog);
  c.Label1->setObjectName(QStringLiteral("Label1"));
  c.Label1->setGeometry(16, 14, 120, 21);

  c.CPORT = new QComboBox(dialog);
  c.CPORT->setObjectName(QStringLiteral("CPORT"));
  c.CPORT->setGeometry(140, 12, 61, 24);
  // A list to pick from: a typed port could only be another way to get a
  // port that does not exist.
  c.CPORT->setEditable(false);
  for (int i = 1; i <= 16; ++i) c.CPORT->addItem(QStringLiteral(" %1").arg(i));
  c.CPORT->setCurrentIndex(0);

  c.RRata = new QGroupBox(QStringLiteral("             Rata de transmisie                 "), dialog);
  c.RRata->setObjectName(QStringLiteral("RRata"));
  c.RRata->setGeometry(8, 44, rateWidth, 52);
  c.RateGroup = new QButtonGroup(dialog);
  auto *rateLayout = new QHBoxLayout(c.RRata);
  const char *rates[3] = {"19200", "38400", "57600"};
  for (int i = 0; i < 3; ++i) {
    c.RRataItems[i] = new QRadioButton(QString::fromLatin1(rates[i]), c.RRata);
    c.RRataItems[i]->setObjectName(QStringLiteral("RRata%1").arg(i));
    c.RateGroup->addButton(c.RRataItems[i], i);
    rateLayout->addWidget(c.RRataItems[i]);
  }
  return c;
}
