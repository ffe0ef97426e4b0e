#pragma once
// Sub-commands of the vitrine tool. Each lives in its own cmd_*.cpp and registers itself
// with a static VITRINE_COMMAND object, so adding one touches no other file.
#include <string>
#include <vector>

namespace vitrine::tool {

using Args = std::vector<std::string>;  // the arguments after the command's name

struct Command {
  const char* name;
  const char* usage;          // one line: "info FILE [--json]"
  int (*run)(const Args& args);  // exit status; errors are reported by throwing
};

// Thrown by a command for bad input: main prints "vitrine: <message>" and exits with 1.
struct UsageError {
  std::string message;
};

void RegisterCommand(const Command& command);
const std::vector<Command>& Commands();

struct CommandRegistrar {
  explicit CommandRegistrar(const Command& command) { RegisterCommand(command); }
};

// Small helpers for option parsing shared by the commands.
// Returns the value after `flag` (and removes both), or `fallback` when absent.
std::string TakeOption(Args& args, const std::string& flag, const std::string& fallback = "");
bool TakeFlag(Args& args, const std::string& flag);

// The usage texts: one command's ("usage: vitrine info FILE [--json]"), and the tool's, which
// lists every command on a line of its own, sorted by name.
std::string CommandUsage(const Command& command);
std::string ToolUsage(std::vector<Command> commands);
// "--help" or "-h": an argument that asks for the usage instead of a run.
bool AsksForHelp(const std::string& arg);

}  // namespace vitrine::tool

#define VITRINE_COMMAND(ident, ...) \
  static const ::vitrine::tool::CommandRegistrar ident##_registrar{::vitrine::tool::Command{__VA_ARGS__}}
