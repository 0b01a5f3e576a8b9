// tarvoctl's raw link subcommands: read, write and command.
#pragma once

#include <string>
#include <vector>

// Exit statuses of every tarvoctl subcommand.
enum : int { ExitOk = 0, ExitFailed = 1, ExitUsage = 2 };

// Runs one of the link subcommands; args are the words after the
// subcommand's name. Output goes to stdout, messages to stderr.
int RunLinkCommand(const std::string &name, const std::vector<std::string> &args);
bool IsLinkCommand(const std::string &name);
// The usage lines of the link subcommands and their options.
const char *LinkUsage();
