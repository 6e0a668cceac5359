// Identifiers of the shell's dialog templates and their controls, shared by
// the code and the resource scripts.
#pragma once

#define ORDERING_DIALOG 104
#define LICENSE_DIALOG 106
#define LICENSE_TEXT 1009  // the license dialog's edit control
