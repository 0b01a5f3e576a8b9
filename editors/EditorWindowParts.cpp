#include "EditorWindowParts.h"

#include <algorithm>

#include <QAbstractItemView>
#include <QApplication>
#include <QFrame>
#include <QGridLayout>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "CodePage.h"
#include "EditorDialog.h"
#include "EditorLogic.h"
#include "RecordSetModel.h"
#include "UserDialogs.h"
#include "VerifyWindow.h"

void LayOutGridWindow(TEditorDialog &dialog, QWidget *grid, QPushButton *read, QPushButton *program,
                      QPushButton *close, QPushButton *verify, QPushButton *changes) {
  auto *window = new QVBoxLayout(&dialog);
  window->setContentsMargins(0, 0, 0, 0);
  window->setSpacing(0);
  window->addWidget(grid, 1);
  window->addWidget(dialog.Panel1);

  auto *panel = new QGridLayout(dialog.Panel1);
  panel->setContentsMargins(8, 8, 8, 8);
  panel->setSpacing(6);
  panel->addWidget(read, 0, 0);
  panel->addWidget(program, 0, 1);
  panel->addWidget(verify, 1, 0);
  panel->addWidget(changes, 1, 1);
  QSizePolicy keep = dialog.g->sizePolicy();
  keep.setRetainSizeWhenHidden(true);
  keep.setHorizontalPolicy(QSizePolicy::Expanding);
  dialog.g->setSizePolicy(keep);
  dialog.g->setFixedHeight(16);
  dialog.g->setMinimumWidth(40);
  panel->addWidget(dialog.g, 0, 2);
  panel->setColumnStretch(2, 1);
  panel->addWidget(close, 0, 3);
}

QPushButton *AddCloseButton(TEditorDialog &dialog) {
  auto *b = new QPushButton(QStringLiteral("I&esire"), dialog.Panel1);
  b->setObjectName(QStringLiteral("BStop"));
  b->setAutoDefault(false);
  QObject::connect(b, &QPushButton::clicked, &dialog, [&dialog] { dialog.reject(); });
  return b;
}

bool CommitTyping(QAbstractItemView *grid) {
  const QModelIndex at = grid->currentIndex();
  QWidget *editor = at.isValid() ? grid->indexWidget(at) : nullptr;
  QAbstractItemDelegate *delegate = grid->itemDelegate();
  if (!editor || !delegate) return true;
  const auto *model = dynamic_cast<const TRecordSetModel *>(grid->model());
  const int refused = model ? model->Refusals() : 0;
  emit delegate->commitData(editor);
  if (model && model->Refusals() != refused) return false;
  emit delegate->closeEditor(editor, QAbstractItemDelegate::NoHint);
  return true;
}

TActionResult ProgramChangesOrAll(TEditorDialog &dialog, TEditorLogic &logic) {
  TActionResult result;
  {
    TWaitCursor wait;
    result = logic.ProgramChanges(dialog.Gauge());
  }
  if (!result.Ok && result.Message == NoImageMessage) {
    std::string question = result.Text();
    if (question.back() != '\r') question += '\r';
    question += std::string("\r") + ProgramAllQuestion;
    if (!AskYesNo(ToDisplay(question))) return TActionResult::Success();
    TWaitCursor wait;
    return logic.Program(dialog.Gauge());
  }
  if (result.Ok && logic.LastRowsSent() == 0)
    ShowMessageBox(QString::fromLatin1(NothingChangedMessage), QStringLiteral("Informatie"), mkInformation, MsgOK);
  return result;
}

TActionResult VerifyAndShow(TEditorDialog &dialog, TEditorLogic &logic, QAbstractItemView *grid, TEVerify *&list,
                            const TVerifyWording &wording,
                            std::function<void(const TDifference &, const std::string &field)> goTo,
                            std::function<QString(const TDifference &, const std::string &field)> fieldTitle) {
  TActionResult result;
  {
    TWaitCursor wait;
    result = logic.Verify(dialog.Gauge());
  }
  // The marks are the rows' colours: a repaint shows them (or their end).
  grid->viewport()->update();
  const TVerifyReport &report = logic.LastVerify();
  if (!report.Done) {
    if (list) list->hide();
    return result;
  }
  if (report.Same()) {
    if (list) list->hide();
    ShowMessageBox(QString::fromLatin1(RegisterMatchesMessage), QStringLiteral("Informatie"), mkInformation, MsgOK);
    return result;
  }
  if (!list) list = new TEVerify(&dialog);
  list->OnGoTo = std::move(goTo);
  list->FieldTitle = std::move(fieldTitle);
  list->ShowReport(report, dialog.windowTitle(), wording);
  if (!list->isVisible()) {
    // Centred on its editor, where the user's eyes are, and whole on the
    // editor's screen; the user moves it aside to compare. Its window frame
    // is not known before it is first shown: it gets the editor's.
    const QRect screen = dialog.screen()->availableGeometry();
    QRect frame(QPoint(), list->size() + dialog.frameGeometry().size() - dialog.size());
    frame.moveCenter(dialog.frameGeometry().center());
    const int lastLeft = std::max(screen.left(), screen.left() + screen.width() - frame.width());
    const int lastTop = std::max(screen.top(), screen.top() + screen.height() - frame.height());
    const QPoint at(std::clamp(frame.left(), screen.left(), lastLeft), std::clamp(frame.top(), screen.top(), lastTop));
    list->move(at);
    list->show();
  }
  list->raise();
  return result;
}

void HideStaleVerify(TEVerify *list, const TEditorLogic &logic) {
  if (list && !logic.LastVerify().Done) list->hide();
}
