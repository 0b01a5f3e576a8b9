#include "MessageBox.h"

#include <QApplication>
#include <QDialog>
#include <QFontMetrics>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

#include "Pictures.h"

namespace {

// "Half" always means halved and rounded down.
constexpr int Half(int v) { return v >= 0 ? v / 2 : -((-v + 1) / 2); }

struct TButtonKind {
  const char *Caption;
  int Result;
  bool Default;
  bool Cancel;
};

// Member order is bit order. NoToAll is a "No" kind of button and YesToAll
// an "All" kind, so they look and answer like those.
const TButtonKind ButtonKinds[mbCount] = {
    {"Da", mrYes, true, false},        // Yes
    {"Nu", mrNo, false, true},         // No
    {"OK", mrOk, true, false},         // OK
    {"Cancel", mrCancel, false, true}, // Cancel
    {"Abort", mrAbort, false, false},  // Abort
    {"&Retry", mrRetry, false, false}, // Retry
    {"&Ignore", mrIgnore, false, false}, // Ignore
    {"&All", mrAll, false, false},     // All
    {"Nu", mrNo, false, true},         // NoToAll
    {"&All", mrAll, false, false},     // YesToAll
    {"&Help", mrNone, false, false},   // Help
};

// The separator under the message panel: a lowered line along its top edge.
class TBevelLine : public QWidget {
 public:
  using QWidget::QWidget;

 protected:
  void paintEvent(QPaintEvent *) override {
    QPainter p(this);
    p.setPen(palette().color(QPalette::Dark));
    p.drawLine(0, 0, width() - 1, 0);
    p.setPen(palette().color(QPalette::Light));
    p.drawLine(0, 1, width() - 1, 1);
  }
};

class TMessageDialog : public QDialog {
 public:
  using QDialog::QDialog;
  QPushButton *CancelButton = nullptr;

 protected:
  void keyPressEvent(QKeyEvent *e) override {
    // Escape belongs to the cancel button alone; without one it does nothing
    // (QDialog would reject, which here means the close box).
    if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
      if (CancelButton) CancelButton->click();
      e->accept();
      return;
    }
    QDialog::keyPressEvent(e);
  }
  // Reached through the close box.
  void reject() override { done(mrCancel); }
};

}  // namespace

TMsgBoxLayout LayoutMessageBox(QSize text, QSize picture, int buttonCount, QSize screen) {
  const int W = text.width(), H = text.height();
  const int picW = picture.width(), picH = picture.height();
  TMsgBoxLayout L;

  const int contentW = W + 32 + picW + 10;
  const int contentH = std::max(picH + 20, H + 32);
  const int buttonsW = buttonCount * 90 + 32;
  const int panelW = std::max({150, contentW, buttonsW});
  const int panelH = std::max(55, contentH);
  L.Panel = QRect(16, 16, panelW, panelH);

  L.Client = QSize(panelW + 32, panelH + 55 + 32);
  L.Bevel = QRect(0, panelH + 32, L.Client.width(), 5);
  L.ButtonPanel = QRect(Half(L.Client.width() - buttonsW), L.Bevel.top() + 8, buttonsW, 40);

  int imageTop, labelTop;
  if (H < picH) {
    imageTop = 10;
    labelTop = Half(picH) + 10 - Half(H);
  } else {
    labelTop = 16;
    imageTop = Half(H) + 16 - Half(picH);
  }
  L.Image = QRect(10, imageTop, picW, picH);
  const int imageRight = L.Image.left() + picW;
  L.Message = QRect(imageRight + Half(panelW - imageRight - W), labelTop, W, H);

  for (int i = 0, left = 16; i < buttonCount; ++i, left += 75 + 16)
    L.Buttons.emplace_back(left, 8, 75, 25);

  L.Position = QPoint(Half(screen.width()) - Half(L.Client.width()),
                      Half(screen.height()) - Half(L.Client.height()));
  return L;
}

QString MessageBoxDisplayText(const QString &text) {
  QString s = text;
  s.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return s;
}

QSize MeasureMessageText(const QString &text, const QFont &font, int screenWidth) {
  QFont bold = font;
  bold.setBold(true);
  QFontMetrics fm(bold);
  QRect r = fm.boundingRect(QRect(0, 0, Half(screenWidth), 0), Qt::TextWordWrap,
                            MessageBoxDisplayText(text));
  return r.size();
}

QFont MessageBoxFont() {
  QFont f(QStringLiteral("MS Sans Serif"));
  f.setStyleHint(QFont::SansSerif);
  f.setPixelSize(11);
  return f;
}

QString MessageBoxCaption(const QString &title, int kind) {
  if (!title.isEmpty()) return title;
  switch (kind) {
    case mkWarning: return QStringLiteral("Atentie !");
    case mkError: return QStringLiteral("EROARE !");
    case mkInformation: return QStringLiteral("Informatie...");
    case mkConfirmation: return QStringLiteral("Confirmare...");
    default: return QString();
  }
}

QSize MessageBoxPictureSize(int kind) {
  switch (kind) {
    case mkWarning:
    case mkError: return QSize(49, 44);
    case mkConfirmation: return QSize(37, 36);
    default: return QSize(0, 0);
  }
}

std::vector<TMsgButtonSpec> MessageBoxButtons(TMsgButtons buttons) {
  std::vector<TMsgButtonSpec> specs;
  for (int b = 0; b < mbCount; ++b) {
    if (!(buttons & MsgButton(TMsgButton(b)))) continue;
    const TButtonKind &k = ButtonKinds[b];
    specs.push_back({TMsgButton(b), QString::fromLatin1(k.Caption), k.Result, k.Default, k.Cancel});
  }
  const bool no = buttons & MsgButton(mbNo), cancel = buttons & MsgButton(mbCancel);
  const bool ok = buttons & MsgButton(mbOK);
  for (auto &s : specs) {
    if (no && cancel && s.Member == mbNo) s.Cancel = false;
    if (ok && !cancel && s.Member == mbOK) s.Cancel = true;
  }
  return specs;
}

int MessageBoxEscapeResult(TMsgButtons buttons) {
  for (const auto &s : MessageBoxButtons(buttons))
    if (s.Cancel) return s.Result;
  return mrCancel;
}

int RunMessageBoxDialog(const QString &text, const QString &title, uint8_t kind,
                        TMsgButtons buttons) {
  // The caller may have set the hourglass for a register action; the box
  // always shows the arrow and hands the caller's cursor back afterwards.
  QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
  struct TRestoreCursor {
    ~TRestoreCursor() { QGuiApplication::restoreOverrideCursor(); }
  } restoreCursor;

  QScreen *screen = QGuiApplication::primaryScreen();
  const QRect screenRect = screen ? screen->geometry() : QRect(0, 0, 1024, 768);

  // Owned by the application, not by the window below it: that window may
  // be closed from a timer while the box is up.
  TMessageDialog dlg;
  dlg.setObjectName(QStringLiteral("MessageBox"));
  dlg.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                     Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  dlg.setWindowModality(Qt::ApplicationModal);
  const QFont font = MessageBoxFont();
  dlg.setFont(font);

  auto *panel = new QFrame(&dlg);
  panel->setObjectName(QStringLiteral("Panel"));
  panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  panel->setLineWidth(1);

  auto *bevel = new TBevelLine(&dlg);
  bevel->setObjectName(QStringLiteral("Bevel"));

  const QSize textSize = MeasureMessageText(text, font, screenRect.width());
  QFont bold = font;
  bold.setBold(true);
  auto *label = new QLabel(MessageBoxDisplayText(text), panel);
  label->setObjectName(QStringLiteral("Message"));
  label->setTextFormat(Qt::PlainText);
  label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  label->setWordWrap(true);
  label->setFont(bold);
  label->setAttribute(Qt::WA_TranslucentBackground);

  auto *image = new QLabel(panel);
  image->setObjectName(QStringLiteral("Image"));
  image->setAttribute(Qt::WA_TranslucentBackground);
  const QPixmap picture = MessageBoxPicture(kind);
  if (!picture.isNull()) image->setPixmap(picture);

  auto *buttonPanel = new QFrame(&dlg);
  buttonPanel->setObjectName(QStringLiteral("ButtonPanel"));
  buttonPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  buttonPanel->setLineWidth(1);

  const auto specs = MessageBoxButtons(buttons);
  std::vector<QPushButton *> pushButtons;
  bool haveDefault = false;
  for (const auto &s : specs) {
    auto *b = new QPushButton(s.Caption, buttonPanel);
    b->setObjectName(QStringLiteral("Button%1").arg(int(s.Member)));
    b->setIcon(ButtonGlyph(s.Member));
    b->setAutoDefault(true);
    if (s.Default && !haveDefault) b->setDefault(haveDefault = true);
    if (s.Cancel && !dlg.CancelButton) dlg.CancelButton = b;
    const int result = s.Result;
    if (result != mrNone) QObject::connect(b, &QPushButton::clicked, &dlg, [&dlg, result] {
      dlg.done(result);
    });
    pushButtons.push_back(b);
  }

  const TMsgBoxLayout L = LayoutMessageBox(textSize, picture.isNull() ? QSize(0, 0) : picture.size(),
                                           int(specs.size()), screenRect.size());
  panel->setGeometry(L.Panel);
  label->setGeometry(L.Message);
  image->setGeometry(L.Image);
  bevel->setGeometry(L.Bevel);
  buttonPanel->setGeometry(L.ButtonPanel);
  for (size_t i = 0; i < pushButtons.size(); ++i) pushButtons[i]->setGeometry(L.Buttons[i]);
  dlg.setFixedSize(L.Client);
  dlg.setWindowTitle(MessageBoxCaption(title, kind));
  dlg.move(screenRect.topLeft() + L.Position);
  if (!pushButtons.empty()) pushButtons.front()->setFocus();

  return dlg.exec();
}
