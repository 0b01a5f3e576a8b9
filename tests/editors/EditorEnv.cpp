#include "EditorEnv.h"

#include <fstream>
#include <sstream>
#include <sys/stat.h>

#include <QFile>

#include "BlockEditor.h"
#include "ProgramDir.h"
#include "ProjectTables.h"
#include "SerialSettings.h"

void EditorEnv::SetUp() {
  SetProgramDirectory(Dir.Path());
  std::string err;
  ASSERT_TRUE(Sim.Start(Dir.Path() + "/sim", err)) << err;
  std::ofstream(Dir.Path() + "/TARVOPROG.INI") << "[Porturi]\r\nCOM1=" << Dir.Path() << "/sim\r\nCOM5="
                                               << Dir.Path() << "/no-such-port\r\n";
  Project = Dir.Path() + "/P";
  ASSERT_EQ(::mkdir(Project.c_str(), 0755), 0);
  SaveSerialSettings(Project, {1, 3});
  Context.Dir = Project;
  Context.Link.SilenceMs = ShortSilenceMs;
  Context.Slot = &Slot;
}

void EditorEnv::TearDown() {
  Sim.Stop();
  SetProgramDirectory("");
}

std::unique_ptr<TTableEditor> EditorEnv::Open(TTableId id) {
  if (id == tiSP) return std::make_unique<TBlockEditor>(Context, SPBlocks());
  if (id == tiSO) return std::make_unique<TBlockEditor>(Context, SOBlocks());
  return std::make_unique<TTableEditor>(Context, *DescriptionOf(id));
}

std::vector<std::string> EditorEnv::SimLines(const std::string &command) {
  return Sim.WithEngine([&](Sim::TEngine &e) {
    std::vector<std::string> lines;
    e.Tables.ReadTable(command, lines);
    return lines;
  });
}

void EditorEnv::Answer(const std::string &command, std::vector<std::string> lines) {
  Sim.WithEngine([&](Sim::TEngine &e) { e.SetAnswer(command, std::move(lines)); });
}

std::string EditorEnv::FileBytes(TTableId id) const {
  return ReadFileBytes(ProjectTablePath(Project, id));
}

TRun EditorEnv::Tarvoctl(const QStringList &args) {
  const QString program = QString::fromStdString(Dir.Path() + "/tarvoctl");
  if (!QFile::exists(program) && !QFile::copy(QStringLiteral(TARVOCTL_PATH), program)) return {};
  return RunProgram(program, QStringList{"--project", "P", "--timeout", QString::number(ShortSilenceMs)} + args);
}
