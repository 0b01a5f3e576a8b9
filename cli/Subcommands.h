// The subcommands of tarvoctl, each defined in the file of its feature.
#pragma once

#include "Cli.h"

extern const TSubcommand CmdProject;   // project create NAME
extern const TSubcommand CmdSettings;  // the project's serial settings
extern const TSubcommand CmdRead;      // raw link: read COMMAND
extern const TSubcommand CmdWrite;     // raw link: write TEXT
extern const TSubcommand CmdCommand;   // raw link: command TEXT
extern const TSubcommand CmdReport;   // report plu-sales|payments|drawer
extern const TSubcommand CmdOnline;   // online: the command-file processor without a window
