// The commands of vrn-pack, each taking the arguments after its name and
// returning the exit status.
#pragma once

#include <string>
#include <vector>

using Arguments = std::vector<std::string>;

int buildCommand(const Arguments& args);
int inspectCommand(const Arguments& args);
int compressCommand(const Arguments& args);
int expandCommand(const Arguments& args);

// Reports a refusal on standard error and returns the failure status.
int refuse(const std::string& reason);
