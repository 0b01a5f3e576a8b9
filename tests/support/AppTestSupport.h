// Helpers shared by the window tests: answering the message box through its
// seam, a scratch program directory, and acting on a modal window once it is
// up (exec() does not return until something closes it).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "ProgramDir.h"
#include "UserDialogs.h"

struct TShownMessage {
  QString Text, Title;
  int Kind, Buttons;
};

// Records every message and answers with Answer.
class TMessageLog {
 public:
  explicit TMessageLog(int answer = mrOk) : Answer(answer) {
    FPrevious = SetMessageBoxHandler([this](const QString &text, const QString &title, int kind,
                                            int buttons) {
      Shown.push_back({text, title, kind, buttons});
      if (OnShow) OnShow();
      return Answer;
    });
  }
  ~TMessageLog() { SetMessageBoxHandler(FPrevious); }
  std::vector<QString> Texts() const {
    std::vector<QString> t;
    for (const auto &m : Shown) t.push_back(m.Text);
    return t;
  }
  int Answer;
  std::function<void()> OnShow;
  std::vector<TShownMessage> Shown;

 private:
  TMessageBoxHandler FPrevious;
};

// A fresh program directory for each test, restored afterwards.
class TScratchProgramDir {
 public:
  TScratchProgramDir() : FPrevious(ProgramDirectory()) {
    SetProgramDirectory(FDir.path().toStdString() + "/");
  }
  ~TScratchProgramDir() { SetProgramDirectory(FPrevious); }
  QString Path() const { return FDir.path() + "/"; }

 private:
  QTemporaryDir FDir;
  std::string FPrevious;
};

// Runs action on the first modal window with this object name once it is
// shown; gives up after about five seconds so a broken test cannot hang.
// The watch ends with the returned object, so a window that never came
// cannot be acted on by a later test.
class TModalWatch {
 public:
  TModalWatch(const QString &objectName, std::function<void(QWidget *)> action)
      : FName(objectName), FAction(std::move(action)) {
    QObject::connect(&FTimer, &QTimer::timeout, [this] { Poll(); });
    FTimer.start(10);
  }
  bool Fired() const { return FFired; }

 private:
  void Poll() {
    QWidget *w = QApplication::activeModalWidget();
    if (w && w->isVisible() && w->objectName() == FName) {
      FTimer.stop();
      FFired = true;
      FAction(w);
    } else if (++FTries > 500) {
      FTimer.stop();
    }
  }
  QString FName;
  std::function<void(QWidget *)> FAction;
  QTimer FTimer;
  int FTries = 0;
  bool FFired = false;
};

[[nodiscard]] inline std::unique_ptr<TModalWatch> WhenModal(const QString &objectName,
                                                            std::function<void(QWidget *)> action) {
  return std::make_unique<TModalWatch>(objectName, std::move(action));
}

// A key as the user presses it: to the focused control of the window.
inline void PressKey(QWidget *window, Qt::Key key) {
  QWidget *target = window->focusWidget() ? window->focusWidget() : window;
  QTest::keyClick(target, key);
}
