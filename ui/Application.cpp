#include "Application.h"

#include <QLocale>

#include "UserDialogs.h"

namespace {

QString WithFullStop(QString text) {
  text = text.trimmed();
  if (!text.isEmpty() && !text.endsWith('.')) text += '.';
  return text;
}

}  // namespace

void ReportException(const std::exception &e) {
  ShowMessageBox(WithFullStop(QString::fromLocal8Bit(e.what())), QString(), mkError, MsgOK);
}

void ReportUnknownException() {
  ShowMessageBox(QStringLiteral("Eroare necunoscuta."), QString(), mkError, MsgOK);
}

void SetDecimalSeparator() {
  QLocale ro(QLocale::Romanian, QLocale::Romania);
  ro.setNumberOptions(QLocale::OmitGroupSeparator);
  QLocale::setDefault(ro);
}

TTarvoApplication::TTarvoApplication(int &argc, char **argv) : QApplication(argc, argv) {}

bool TTarvoApplication::notify(QObject *receiver, QEvent *event) {
  bool handled = false;
  RunGuarded([&] { handled = QApplication::notify(receiver, event); });
  return handled;
}
