#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include "AppTestSupport.h"
#include "MessageBox.h"

namespace {

QSize ScreenSize() { return QGuiApplication::primaryScreen()->geometry().size(); }

// Shows a real box, lets act press its keys, returns the result.
int RunBox(const QString &text, const QString &title, int kind, TMsgButtons buttons,
           std::function<void(QWidget *)> act) {
  auto watch = WhenModal("MessageBox", std::move(act));
  return ShowMessageBox(text, title, uint8_t(kind), buttons);
}

QWidget *Child(QWidget *box, const char *name) { return box->findChild<QWidget *>(name); }

}  // namespace

TEST(MessageBoxLayout, OneLineWarningWithOk) {
  const TMsgBoxLayout L = LayoutMessageBox({100, 13}, {49, 44}, 1, {1280, 1024});
  EXPECT_EQ(L.Panel, QRect(16, 16, 191, 64));
  EXPECT_EQ(L.Client, QSize(223, 151));
  EXPECT_EQ(L.Bevel, QRect(0, 96, 223, 5));
  // One button, centred under the bevel.
  EXPECT_EQ(L.ButtonPanel, QRect(50, 104, 122, 40));
  ASSERT_EQ(L.Buttons.size(), 1u);
  EXPECT_EQ(L.Buttons[0], QRect(16, 8, 75, 25));
  // Text lower than the picture: picture at 10, text centred on it.
  EXPECT_EQ(L.Image, QRect(10, 10, 49, 44));
  EXPECT_EQ(L.Message, QRect(75, 26, 100, 13));
  EXPECT_EQ(L.Position, QPoint(640 - 111, 512 - 75));
}

TEST(MessageBoxLayout, SmallNoticeKeepsTheMinimumPanelAndCentresTheText) {
  const TMsgBoxLayout L = LayoutMessageBox({20, 13}, {0, 0}, 1, {800, 600});
  EXPECT_EQ(L.Panel.size(), QSize(150, 55));
  EXPECT_EQ(L.Client, QSize(182, 142));
  EXPECT_EQ(L.Image, QRect(10, 22, 0, 0));
  // Centred in the space right of the 10-pixel image margin.
  EXPECT_EQ(L.Message, QRect(70, 16, 20, 13));
  EXPECT_EQ(L.Message.left() + L.Message.width() / 2, 10 + (150 - 10) / 2);
}

TEST(MessageBoxLayout, QuestionAndTallTextAndManyButtons) {
  const TMsgBoxLayout q = LayoutMessageBox({300, 26}, {37, 36}, 2, {1024, 768});
  EXPECT_EQ(q.Panel, QRect(16, 16, 379, 58));
  EXPECT_EQ(q.Client, QSize(411, 145));
  EXPECT_EQ(q.ButtonPanel, QRect(99, 98, 212, 40));
  EXPECT_EQ(q.Buttons[0], QRect(16, 8, 75, 25));
  EXPECT_EQ(q.Buttons[1], QRect(107, 8, 75, 25));
  EXPECT_EQ(q.Image, QRect(10, 10, 37, 36));
  EXPECT_EQ(q.Message, QRect(63, 15, 300, 26));

  // Text at least as high as the picture: text at 16, picture centred on it.
  const TMsgBoxLayout t = LayoutMessageBox({200, 60}, {49, 44}, 1, {1024, 768});
  EXPECT_EQ(t.Message.top(), 16);
  EXPECT_EQ(t.Image.top(), 24);
  EXPECT_EQ(t.Panel.height(), 92);

  // The buttons alone can set the width.
  const TMsgBoxLayout b = LayoutMessageBox({20, 13}, {0, 0}, 5, {1024, 768});
  EXPECT_EQ(b.Panel.width(), 5 * 90 + 32);
  EXPECT_EQ(b.ButtonPanel.left(), 0 + (b.Client.width() - 482) / 2);
  EXPECT_EQ(b.Buttons[4].left(), 16 + 4 * 91);
}

TEST(MessageBoxButtons, CaptionsResultsAndCancelAdjustments) {
  auto yesNo = MessageBoxButtons(MsgYesNo);
  ASSERT_EQ(yesNo.size(), 2u);
  EXPECT_EQ(yesNo[0].Caption, "Da");
  EXPECT_EQ(yesNo[1].Caption, "Nu");
  EXPECT_TRUE(yesNo[0].Default);
  EXPECT_TRUE(yesNo[1].Cancel);

  // OK without Cancel is also the cancel button.
  EXPECT_EQ(MessageBoxEscapeResult(MsgOK), mrOk);
  // No and Cancel: Cancel takes Escape from No.
  const TMsgButtons noCancel = MsgButton(mbNo) | MsgButton(mbCancel);
  auto nc = MessageBoxButtons(noCancel);
  EXPECT_FALSE(nc[0].Cancel);
  EXPECT_TRUE(nc[1].Cancel);
  EXPECT_EQ(MessageBoxEscapeResult(noCancel), mrCancel);
  // NoToAll answers like No, YesToAll like All, Help closes nothing.
  auto rest = MessageBoxButtons(MsgButton(mbNoToAll) | MsgButton(mbYesToAll) | MsgButton(mbHelp));
  EXPECT_EQ(rest[0].Result, mrNo);
  EXPECT_EQ(rest[0].Caption, "Nu");
  EXPECT_EQ(rest[1].Result, mrAll);
  EXPECT_EQ(rest[2].Result, mrNone);
  // Nothing to press: only the close box is left.
  EXPECT_EQ(MessageBoxEscapeResult(MsgButton(mbAbort)), mrCancel);

  EXPECT_EQ(MessageBoxCaption("", mkWarning), "Atentie !");
  EXPECT_EQ(MessageBoxCaption("", mkError), "EROARE !");
  EXPECT_EQ(MessageBoxCaption("", mkInformation), "Informatie...");
  EXPECT_EQ(MessageBoxCaption("", mkConfirmation), "Confirmare...");
  EXPECT_EQ(MessageBoxCaption("Eroare", mkWarning), "Eroare");
}

TEST(MessageBoxText, WrapsAtHalfTheScreenAndBreaksAtCarriageReturns) {
  const QFont font = MessageBoxFont();
  QFont bold = font;
  bold.setBold(true);
  const int line = QFontMetrics(bold).height();
  const QSize one = MeasureMessageText("Operatie nereusita!", font, 800);
  const QSize two = MeasureMessageText("Operatie\rnereusita!", font, 800);
  EXPECT_GE(two.height(), 2 * line);
  EXPECT_LT(one.height(), 2 * line);
  EXPECT_EQ(MeasureMessageText("Operatie\r\nnereusita!", font, 800), two);

  QString longText;
  for (int i = 0; i < 40; ++i) longText += "cuvant ";
  const QSize wrapped = MeasureMessageText(longText, font, 800);
  EXPECT_LE(wrapped.width(), 400);
  EXPECT_GE(wrapped.height(), 3 * line);
}

TEST(MessageBoxDialog, OkWarningAnswersOneToEnterAndEscape) {
  int enter = RunBox("Nu pot deschide portul serial !\r", "Eroare", mkWarning, MsgOK,
                     [](QWidget *box) { PressKey(box, Qt::Key_Return); });
  EXPECT_EQ(enter, mrOk);

  QRect panel, buttonPanel;
  QSize client;
  QString caption;
  int escape = RunBox("Nu pot deschide portul serial !\r", "Eroare", mkWarning, MsgOK,
                      [&](QWidget *box) {
                        panel = Child(box, "Panel")->geometry();
                        buttonPanel = Child(box, "ButtonPanel")->geometry();
                        client = box->size();
                        caption = box->windowTitle();
                        PressKey(box, Qt::Key_Escape);
                      });
  EXPECT_EQ(escape, mrOk);
  EXPECT_EQ(caption, "Eroare");
  EXPECT_GE(panel.width(), 150);
  EXPECT_GE(panel.height(), 55);
  EXPECT_EQ(client.width(), panel.width() + 32);
  EXPECT_EQ(buttonPanel.left(), (client.width() - buttonPanel.width()) / 2);
}

TEST(MessageBoxDialog, YesNoQuestion) {
  QString left, right;
  int enter = RunBox("Stergeti?", "Atentie", mkConfirmation, MsgYesNo, [&](QWidget *box) {
    auto buttons = box->findChildren<QPushButton *>();
    ASSERT_EQ(buttons.size(), 2);
    std::sort(buttons.begin(), buttons.end(),
              [](QPushButton *a, QPushButton *b) { return a->x() < b->x(); });
    left = buttons[0]->text();
    right = buttons[1]->text();
    PressKey(box, Qt::Key_Enter);
  });
  EXPECT_EQ(enter, mrYes);
  EXPECT_EQ(left, "Da");
  EXPECT_EQ(right, "Nu");
  EXPECT_EQ(RunBox("Stergeti?", "Atentie", mkConfirmation, MsgYesNo,
                   [](QWidget *box) { PressKey(box, Qt::Key_Escape); }),
            mrNo);
  EXPECT_EQ(RunBox("Stergeti?", "Atentie", mkConfirmation, MsgYesNo,
                   [](QWidget *box) { box->close(); }),
            mrCancel);
}

TEST(MessageBoxDialog, NoticeWithoutPictureAndCustomKindWithoutTitle) {
  QSize image(-1, -1);
  QRect label, panel;
  QString caption = "unset";
  RunBox("Gata", "", mkInformation, MsgOK, [&](QWidget *box) {
    image = Child(box, "Image")->size();
    label = Child(box, "Message")->geometry();
    panel = Child(box, "Panel")->geometry();
    caption = box->windowTitle();
    PressKey(box, Qt::Key_Return);
  });
  EXPECT_EQ(image, QSize(0, 0));
  EXPECT_EQ(caption, "Informatie...");
  EXPECT_NEAR(label.center().x() + 0.5, 10 + (panel.width() - 10) / 2.0, 1.0);

  RunBox("Text", "", mkCustom, MsgOK, [&](QWidget *box) {
    caption = box->windowTitle();
    image = Child(box, "Image")->size();
    PressKey(box, Qt::Key_Escape);
  });
  EXPECT_EQ(caption, "");
  EXPECT_EQ(image, QSize(0, 0));
}

TEST(MessageBoxDialog, LongTextWrapsAndPicturesHaveTheirSizes) {
  QString longText;
  for (int i = 0; i < 60; ++i) longText += "tabel ";
  QRect label;
  QString shown;
  QSize image;
  RunBox(longText + "\rsfarsit", "", mkError, MsgOK, [&](QWidget *box) {
    auto *l = static_cast<QLabel *>(Child(box, "Message"));
    label = l->geometry();
    shown = l->text();
    image = Child(box, "Image")->size();
    PressKey(box, Qt::Key_Return);
  });
  EXPECT_LE(label.width(), ScreenSize().width() / 2);
  EXPECT_GT(label.height(), 3 * QFontMetrics(MessageBoxFont()).height());
  EXPECT_TRUE(shown.endsWith("\nsfarsit"));
  EXPECT_EQ(image, QSize(49, 44));

  RunBox("?", "", mkConfirmation, MsgYesNo, [&](QWidget *box) {
    image = Child(box, "Image")->size();
    PressKey(box, Qt::Key_Escape);
  });
  EXPECT_EQ(image, QSize(37, 36));
}

TEST(MessageBoxDialog, HelpStaysOpenCancelTakesEscapeAndCursorComesBack) {
  QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  Qt::CursorShape during = Qt::WaitCursor;
  bool openAfterHelp = false;
  int r = RunBox("Continuati?", "", mkConfirmation,
                 MsgButton(mbNo) | MsgButton(mbCancel) | MsgButton(mbHelp), [&](QWidget *box) {
                   during = QGuiApplication::overrideCursor()->shape();
                   for (auto *b : box->findChildren<QPushButton *>())
                     if (b->text() == "&Help") b->click();
                   openAfterHelp = box->isVisible();
                   PressKey(box, Qt::Key_Escape);
                 });
  EXPECT_EQ(r, mrCancel);
  EXPECT_TRUE(openAfterHelp);
  EXPECT_EQ(during, Qt::ArrowCursor);
  ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
  QGuiApplication::restoreOverrideCursor();
}
