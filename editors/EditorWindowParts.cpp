#include "EditorWindowParts.h"

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "EditorDialog.h"
#include "ProjectShell.h"

TProjectContext ShellProjectContext() {
  TProjectContext cx;
  if (TProjectShell *shell = ProjectShell()) {
    cx.Dir = shell->ProjectDirPath();
    cx.CurrentLink = &shell->CurrentLink;
  }
  return cx;
}

void LayOutGridWindow(TEditorDialog &dialog, QWidget *grid, QPushButton *first, QPushButton *second,
                      QPushButton *close) {
  auto *window = new QVBoxLayout(&dialog);
  window->setContentsMargins(0, 0, 0, 0);
  window->setSpacing(0);
  window->addWidget(grid, 1);
  window->addWidget(dialog.Panel1);

  auto *panel = new QHBoxLayout(dialog.Panel1);
  panel->setContentsMargins(8, 8, 8, 8);
  panel->setSpacing(8);
  panel->addWidget(first);
  panel->addWidget(second);
  QSizePolicy keep = dialog.g->sizePolicy();
  keep.setRetainSizeWhenHidden(true);
  keep.setHorizontalPolicy(QSizePolicy::Expanding);
  dialog.g->setSizePolicy(keep);
  dialog.g->setFixedHeight(16);
  panel->addWidget(dialog.g, 1);
  panel->addWidget(close);
}

QPushButton *AddCloseButton(TEditorDialog &dialog) {
  auto *b = new QPushButton(QStringLiteral("I&esire"), dialog.Panel1);
  b->setObjectName(QStringLiteral("BStop"));
  b->setAutoDefault(false);
  QObject::connect(b, &QPushButton::clicked, &dialog, [&dialog] { dialog.reject(); });
  return b;
}

void CommitTyping(QWidget *grid) {
  QWidget *focus = QApplication::focusWidget();
  if (focus && focus != grid && grid->isAncestorOf(focus)) grid->setFocus();
}
