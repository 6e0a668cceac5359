// The commands of vrn-machine, each taking the arguments after its name.
#pragma once

#include <string>
#include <vector>

using Arguments = std::vector<std::string>;

// Exit status of vrn-machine itself when it cannot do what it was asked;
// a run otherwise ends with the installer's own exit status.
#define MACHINE_ERROR 120

int newCommand(const Arguments& args);
int runCommand(const Arguments& args);
int showCommand(const Arguments& args);
int settingsCommand(const Arguments& args);
