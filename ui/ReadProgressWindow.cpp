#include "ReadProgressWindow.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

TReadProgressWindow::TReadProgressWindow(const QString &caption, QWidget *parent)
    : QDialog(parent), Count(new QLabel(this)), g(new TGauge(this)), FGauge(g) {
  setObjectName(QStringLiteral("ReadProgress"));
  setWindowTitle(caption);
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setModal(false);
  Count->setObjectName(QStringLiteral("Count"));
  g->setObjectName(QStringLiteral("g"));
  g->setFixedHeight(16);
  auto *layout = new QVBoxLayout(this);
  layout->addWidget(Count);
  layout->addWidget(g);
  setFixedSize(300, sizeHint().height());
}

void TReadProgressWindow::Begin(int total) {
  Count->setText(QStringLiteral("Citire din casa de marcat..."));
  FGauge.Begin(total);
  show();
  raise();
}

void TReadProgressWindow::Step(int done) { FGauge.Step(done); }

void TReadProgressWindow::Lines(int received) {
  // The count is said above the bar, which only moves.
  Count->setText(QStringLiteral("Linii primite: %1").arg(received));
  FGauge.Step(received);
}

void TReadProgressWindow::End() {
  FGauge.End();
  hide();
}

void TReadProgressWindow::closeEvent(QCloseEvent *e) { e->ignore(); }

void TReadProgressWindow::keyPressEvent(QKeyEvent *e) {
  if (e->key() == Qt::Key_Escape) return e->accept();  // Esc would close it
  QDialog::keyPressEvent(e);
}
