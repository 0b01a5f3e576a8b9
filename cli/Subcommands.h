// The subcommands of tarvoctl, each defined in the file of its feature.
#pragma once

#include "Cli.h"

extern const TSubcommand CmdProject;   // project create NAME
extern const TSubcommand CmdSettings;  // the project's serial settings
extern const TSubcommand CmdRead;      // raw link: read COMMAND
extern const TSubcommand CmdWrite;     // raw link: write TEXT
extern const TSubcommand CmdCommand;   // raw link: command TEXT
extern const TSubcommand CmdPorts;     // ports [map COMn PATH]
extern const TSubcommand CmdDept;      // the table editors: TABLE show|read|program|set
extern const TSubcommand CmdVat;
extern const TSubcommand CmdCashier;
extern const TSubcommand CmdRate;
extern const TSubcommand CmdPayment;
extern const TSubcommand CmdParam;
extern const TSubcommand CmdOption;
extern const TSubcommand CmdPlu;       // the PLU editor
extern const TSubcommand CmdScale;     // the scale list, prefix and transfer
extern const TSubcommand CmdReport;   // report plu-sales|payments|drawer
extern const TSubcommand CmdOnline;   // online: the command-file processor without a window
extern const TSubcommand CmdServe;    // serve: the HTTP/JSON service
