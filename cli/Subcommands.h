// The subcommands of tarvoctl, each defined in the file of its feature.
#pragma once

#include "Cli.h"

extern const TSubcommand CmdProject;   // project create NAME
extern const TSubcommand CmdSettings;  // the project's serial settings
extern const TSubcommand CmdRead;      // raw link: read COMMAND
extern const TSubcommand CmdWrite;     // raw link: write TEXT
extern const TSubcommand CmdCommand;   // raw link: command TEXT
extern const TSubcommand CmdPlu;       // the PLU editor
extern const TSubcommand CmdScale;     // the scale list, prefix and transfer
