// tarvoctl: the programming tool without windows.
#include <cstdio>
#include <string>
#include <vector>

#include <QCoreApplication>

#include "LinkCommands.h"

namespace {

int Usage(FILE *to, int status) {
  std::fputs(LinkUsage(), to);
  return status;
}

}  // namespace

int main(int argc, char **argv) {
  // The link waits for the register in Qt's event loop.
  QCoreApplication app(argc, argv);
  if (argc < 2) return Usage(stderr, ExitUsage);
  const std::string name = argv[1];
  if (name == "--help" || name == "-h" || name == "help") return Usage(stdout, ExitOk);
  const std::vector<std::string> args(argv + 2, argv + argc);
  if (IsLinkCommand(name)) return RunLinkCommand(name, args);
  std::fprintf(stderr, "tarvoctl: unknown subcommand %s\n", name.c_str());
  return Usage(stderr, ExitUsage);
}
