// The vitrine command-line tool: builds, inspects and renders packages.
#include <algorithm>
#include <cstdio>
#include <exception>

#include "command.h"

namespace vitrine::tool {

namespace {
std::vector<Command>& Registry() {
  static std::vector<Command> commands;
  return commands;
}
}  // namespace

void RegisterCommand(const Command& command) { Registry().push_back(command); }
const std::vector<Command>& Commands() { return Registry(); }

std::string TakeOption(Args& args, const std::string& flag, const std::string& fallback) {
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == flag) {
      if (i + 1 >= args.size()) throw UsageError{flag + " needs a value"};
      std::string value = args[i + 1];
      args.erase(args.begin() + i, args.begin() + i + 2);
      return value;
    }
  }
  return fallback;
}

bool TakeFlag(Args& args, const std::string& flag) {
  auto it = std::find(args.begin(), args.end(), flag);
  if (it == args.end()) return false;
  args.erase(it);
  return true;
}

std::string CommandUsage(const Command& command) { return std::string("usage: vitrine ") + command.usage + "\n"; }

std::string ToolUsage(std::vector<Command> commands) {
  std::sort(commands.begin(), commands.end(),
            [](const Command& a, const Command& b) { return std::string(a.name) < b.name; });
  std::string text =
      "usage: vitrine COMMAND [ARGS]\n"
      "       vitrine COMMAND --help  (that command's usage)\n"
      "commands:\n";
  for (const auto& c : commands) text += std::string("  vitrine ") + c.usage + "\n";
  return text;
}

bool AsksForHelp(const std::string& arg) { return arg == "--help" || arg == "-h"; }

}  // namespace vitrine::tool

namespace {
using vitrine::tool::Command;

const Command* FindCommand(const std::string& name) {
  for (const auto& command : vitrine::tool::Commands())
    if (name == command.name) return &command;
  return nullptr;
}

int Unknown(const std::string& name) {
  std::fprintf(stderr, "vitrine: unknown command '%s'\n%s", name.c_str(),
               vitrine::tool::ToolUsage(vitrine::tool::Commands()).c_str());
  return 1;
}
}  // namespace

int main(int argc, char** argv) {
  using namespace vitrine::tool;
  // Asked for, the usage goes to standard output and is no error; as the answer to a wrong
  // command line it goes to standard error.
  if (argc < 2) {
    std::fputs(ToolUsage(Commands()).c_str(), stderr);
    return 1;
  }
  std::string name = argv[1];
  Args args(argv + 2, argv + argc);
  if (AsksForHelp(name) || name == "help") {
    if (name == "help" && !args.empty()) {
      const Command* command = FindCommand(args[0]);
      if (!command) return Unknown(args[0]);
      std::fputs(CommandUsage(*command).c_str(), stdout);
    } else {
      std::fputs(ToolUsage(Commands()).c_str(), stdout);
    }
    return 0;
  }
  const Command* command = FindCommand(name);
  if (!command) return Unknown(name);
  if (std::any_of(args.begin(), args.end(), AsksForHelp)) {
    std::fputs(CommandUsage(*command).c_str(), stdout);
    return 0;
  }
  try {
    return command->run(args);
  } catch (const UsageError& e) {
    std::fprintf(stderr, "vitrine %s: %s\n", command->name, e.message.c_str());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "vitrine %s: %s\n", command->name, e.what());
  }
  return 1;
}
