// The groups of commands of the host program, each in a unit of its own.
// A new group adds its function here and to the list in main.
#pragma once

#include "command.h"

namespace tool {

// create-project, demo.
CommandTable ProjectCommands();

// The formats library's data commands: the listings (info, wells, curves,
// markers, survey, projects, las-info), imports, exports, plots and deletes.
CommandTable DataCommands();

}  // namespace tool
