#include "EditorDialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

#include "Application.h"
#include "CodePage.h"
#include "UserDialogs.h"

TWaitCursor::TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }

void TWaitCursor::Restore() {
  if (FShown) QApplication::restoreOverrideCursor();
  FShown = false;
}

void TGaugeProgress::Begin(int total) {
  FGauge->setRange(1, total < 1 ? 1 : total);
  FGauge->setValue(1);
  FGauge->show();
}

void TGaugeProgress::Step(int done) { FGauge->setValue(done); }

void TGaugeProgress::End() { FGauge->hide(); }

TEditorDialog::TEditorDialog(const QString &objectName, const QString &caption, QWidget *parent)
    : QDialog(parent), Panel1(new QFrame(this)), g(new QProgressBar(Panel1)), FGauge(g) {
  setObjectName(objectName);
  setWindowTitle(caption);
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setWindowModality(Qt::ApplicationModal);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
  g->setObjectName(QStringLiteral("g"));
  g->setTextVisible(false);
  QPalette pal = g->palette();
  pal.setColor(QPalette::Highlight, QColor(0, 0, 128));  // navy
  g->setPalette(pal);
  g->hide();
}

TEditorDialog::~TEditorDialog() = default;

QPushButton *TEditorDialog::AddButton(QWidget *panel, const char *objectName, const QString &caption,
                                      std::function<void()> click, bool waitCursor) {
  auto *b = new QPushButton(caption, panel);
  b->setObjectName(QString::fromLatin1(objectName));
  b->setAutoDefault(false);
  connect(b, &QPushButton::clicked, this, [this, click = std::move(click), waitCursor] {
    RunAction(click, waitCursor);
  });
  return b;
}

bool TEditorDialog::RunAction(const std::function<void()> &action, bool waitCursor) {
  if (FBusy) return false;
  FBusy = true;
  struct TRelease {
    TEditorDialog *Self;
    bool Cursor;
    ~TRelease() {
      if (Cursor) QApplication::restoreOverrideCursor();
      Self->FBusy = false;
    }
  } release{this, waitCursor};
  if (waitCursor) QApplication::setOverrideCursor(Qt::WaitCursor);
  RunGuarded(action);
  return true;
}

void TEditorDialog::ShowFailure(const TActionResult &result) {
  if (result.Ok) return;
  if (!result.Notice.empty()) ShowError(ToDisplay(result.Notice));
  if (!result.Message.empty() || !result.Reason.empty()) ShowError(ToDisplay(result.Text()));
}

void TEditorDialog::FixSizeAndCentre(int width, int height) {
  setFixedSize(width, height);
  if (QScreen *s = QGuiApplication::primaryScreen()) move(s->geometry().center() - rect().center());
}

void TEditorDialog::done(int result) {
  if (FBusy) return;
  QDialog::done(result);
}

void TEditorDialog::closeEvent(QCloseEvent *e) {
  if (FBusy) {
    e->ignore();
    return;
  }
  QDialog::closeEvent(e);
}
