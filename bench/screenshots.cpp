// Pictures of the editor windows against the simulated register, for a
// person to look at when the windows' looks change: each window after a
// read, the departments while they are programmed, and the verify results.
// What the pictures show is checked by the tests; this only draws.
//
//   QT_QPA_PLATFORM=offscreen build/bin/screenshots DIR
#include <cstdio>
#include <functional>
#include <string>

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include "BenchRegister.h"
#include "BlockEditorWindow.h"
#include "MessageKinds.h"
#include "PluWindow.h"
#include "RegisterSlot.h"
#include "TableEditorWindow.h"
#include "UserDialogs.h"
#include "VerifyWindow.h"

namespace {

QString OutDir;
int Failures = 0;

// Lets the window paint what the last action left.
void Settle() {
  QEventLoop loop;
  QTimer::singleShot(50, &loop, &QEventLoop::quit);
  loop.exec();
}

void Save(QWidget &w, const char *name) {
  const QString path = OutDir + "/" + name + ".png";
  if (w.grab().save(path)) {
    std::printf("%s\n", qPrintable(path));
  } else {
    std::fprintf(stderr, "screenshots: cannot write %s\n", qPrintable(path));
    ++Failures;
  }
}

template <class Window>
void AfterRead(const TProjectContext &context, const char *name) {
  Window w(context);
  w.show();
  w.BitBtn1->click();  // the read; returns when it ends
  Settle();
  Save(w, name);
}

// A verify after the register's tables were changed behind the window's back.
template <class Window>
void Verify(TBenchRegister &reg, const TProjectContext &context, const char *name,
            const std::function<void(Sim::TEngine &)> &change) {
  Window w(context);
  w.show();
  w.BitBtn1->click();
  reg.Sim.WithEngine(change);
  w.BVerify->click();
  Settle();
  Save(w, (std::string(name) + "-verify").c_str());
  Save(*w.EVerify, (std::string(name) + "-EVerify").c_str());
}

}  // namespace

int main(int argc, char **argv) {
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: screenshots DIR  (QT_QPA_PLATFORM=offscreen without a display)\n");
    return 2;
  }
  OutDir = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
  if (!QDir().mkpath(OutDir)) {
    std::fprintf(stderr, "screenshots: cannot make %s\n", qPrintable(OutDir));
    return 1;
  }
  TBenchRegister reg;
  if (!reg.Start("screenshots")) return 1;
  // A modal box would wait for a click nobody gives; say what it said instead.
  SetMessageBoxHandler([](const QString &text, const QString &title, int, int) {
    std::fprintf(stderr, "[%s] %s\n", qPrintable(title), qPrintable(text));
    return int(mrOk);
  });
  TRegisterSlot slot;
  const TProjectContext context{reg.Project, {}, &slot};

  {
    TEdept w(context);
    w.show();
    w.BitBtn1->click();
    Settle();
    Save(w, "Edept");
    Sim::TFaults slow;
    slow.ByteDelayMs = 5;  // long enough to catch the gauge under way
    reg.Sim.SetFaults(slow);
    QTimer::singleShot(300, [&] { Save(w, "Edept-programming"); });
    w.BitBtn2->click();
    reg.Sim.SetFaults({});
  }
  AfterRead<TETva>(context, "ETva");
  AfterRead<TEcasieri>(context, "Ecasieri");
  AfterRead<TEcurs>(context, "Ecurs");
  AfterRead<TEFormaPlata>(context, "EFormaPlata");
  AfterRead<TESP>(context, "ESP");
  AfterRead<TESO>(context, "ESO");

  Verify<TEdept>(reg, context, "Edept", [](Sim::TEngine &e) {
    e.Tables.Depts[4].Nume = "PAINE ALBA";
    e.Tables.Depts[4].TVA = 2;
    e.Tables.Depts[7].UM = 3;
    e.Tables.Depts[25] = e.Tables.Depts[1];
    e.Tables.Depts[25].Cod = 25;
  });
  Verify<TESP>(reg, context, "ESP", [](Sim::TEngine &e) { e.Tables.SysParams[2].P[20] = 9; });

  {
    reg.Sim.WithEngine([](Sim::TEngine &e) {
      e.Tables.Plus.clear();
      for (int64_t c = 1; c <= 8; ++c) {
        Sim::TPlu p;
        p.Cod = c;
        p.Nume = "REG" + std::to_string(c);
        p.CodDep = 1;
        p.CodUM = 1;
        e.Tables.Plus[c] = p;
      }
    });
    TEPlu w(context);
    w.show();
    w.BitBtn1->click();
    reg.Sim.WithEngine([](Sim::TEngine &e) { e.Tables.Plus[3].Pret1 = 1299; });
    w.BitBtn3->click();
    w.BVerify->click();
    Settle();
    Save(w, "EPlu-verify");
    Save(*w.EVerify, "EPlu-EVerify");
  }
  return Failures ? 1 : 0;
}
