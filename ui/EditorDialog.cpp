#include "EditorDialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

#include "Application.h"
#include "CodePage.h"
#include "RegisterSlot.h"
#include "UserDialogs.h"

TWaitCursor::TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }

void TWaitCursor::Restore() {
  if (FShown) QApplication::restoreOverrideCursor();
  FShown = false;
}

TGauge::TGauge(QWidget *parent) : QProgressBar(parent) {
  setTextVisible(false);
  setAlignment(Qt::AlignCenter);
  QPalette pal = palette();
  pal.setColor(QPalette::Highlight, QColor(0, 0, 128));  // navy
  setPalette(pal);
}

void TGauge::SetTotal(int total) {
  QPalette pal = palette();
  pal.setColor(QPalette::Text, total > 0 ? QApplication::palette(this).color(QPalette::Text) : QColor(Qt::white));
  setPalette(pal);
  // A range of 0..0 is Qt's moving bar.
  if (total > 0)
    setRange(1, total);
  else
    setRange(0, 0);
  setValue(minimum());
}

void TGauge::SetReceived(int lines) {
  FReceived = lines;
  setTextVisible(lines >= 0);
  update();
}

QString TGauge::text() const {
  if (FReceived < 0) return QProgressBar::text();
  return QString::number(FReceived) + (FReceived == 1 ? QStringLiteral(" linie primita") : QStringLiteral(" linii primite"));
}

void TGaugeProgress::Begin(int total) {
  FGauge->SetReceived(-1);
  FGauge->SetTotal(total);
  FGauge->show();
}

void TGaugeProgress::Step(int done) {
  if (FGauge->maximum() == 0) return;  // a moving bar has no place to go to
  if (done > FGauge->maximum()) FGauge->setMaximum(done);
  FGauge->setValue(done);
}

void TGaugeProgress::Lines(int received) {
  FGauge->SetReceived(received);
  Step(received);
}

void TGaugeProgress::End() {
  FGauge->hide();
  FGauge->SetReceived(-1);
}

TEditorDialog::TEditorDialog(const QString &objectName, const QString &caption, QWidget *parent)
    : QDialog(parent), Panel1(new QFrame(this)), g(new TGauge(Panel1)), FGauge(g) {
  setObjectName(objectName);
  setWindowTitle(caption);
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setWindowModality(Qt::ApplicationModal);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
  g->setObjectName(QStringLiteral("g"));
  g->hide();
}

TEditorDialog::~TEditorDialog() {
  if (FSlot) FSlot->Unwatch(FWatch);
}

void TEditorDialog::SetRegisterSlot(TRegisterSlot *slot) {
  if (FSlot) FSlot->Unwatch(FWatch);
  FSlot = slot;
  if (FSlot) FWatch = FSlot->Watch([this] { ShowSlotState(); });
  ShowSlotState();
}

// Another window's or the online mode's action holds the register: this
// window's register buttons wait for it. Its own action leaves them as they
// are (its guard ignores their clicks).
void TEditorDialog::ShowSlotState() {
  const bool other = FSlot && FSlot->Busy() && !FHoldsSlot;
  for (const auto &[b, allowed] : FRegisterButtons) b->setEnabled(allowed && !other);
}

void TEditorDialog::AllowRegisterButton(QPushButton *button, bool allowed) {
  for (auto &b : FRegisterButtons)
    if (b.first == button) b.second = allowed;
  ShowSlotState();
}

QPushButton *TEditorDialog::AddRegisterButton(QWidget *panel, const char *objectName, const QString &caption,
                                              std::function<void()> click, bool waitCursor) {
  QPushButton *b = AddButton(
      panel, objectName, caption,
      [this, click = std::move(click)] {
        if (FSlot && FSlot->Busy()) return;  // another action got there first
        // Held before the slot is taken, so that this window's own buttons
        // are not taken away by the news.
        FHoldsSlot = FSlot != nullptr;
        struct TLetGo {
          bool &Holds;
          ~TLetGo() { Holds = false; }
        } letGo{FHoldsSlot};
        TRegisterTurn turn(FSlot, windowTitle().toStdString());
        click();
      },
      waitCursor);
  FRegisterButtons.emplace_back(b, true);
  ShowSlotState();
  return b;
}

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

void TEditorDialog::keyPressEvent(QKeyEvent *e) {
  // Esc would reject the dialog; done() refuses it during an action anyway,
  // but the key must not even reach the default handling then.
  if (FBusy && e->key() == Qt::Key_Escape) {
    e->accept();
    return;
  }
  QDialog::keyPressEvent(e);
}

void TEditorDialog::closeEvent(QCloseEvent *e) {
  if (FBusy) {
    e->ignore();
    return;
  }
  QDialog::closeEvent(e);
}
