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

}  // namespace vitrine::tool

namespace {
void PrintUsage() {
  std::fprintf(stderr, "usage: vitrine COMMAND [ARGS]\n");
  auto commands = vitrine::tool::Commands();
  std::sort(commands.begin(), commands.end(),
            [](const auto& a, const auto& b) { return std::string(a.name) < b.name; });
  for (const auto& c : commands) std::fprintf(stderr, "  vitrine %s\n", c.usage);
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    PrintUsage();
    return 1;
  }
  std::string name = argv[1];
  for (const auto& command : vitrine::tool::Commands()) {
    if (name != command.name) continue;
    vitrine::tool::Args args(argv + 2, argv + argc);
    try {
      return command.run(args);
    } catch (const vitrine::tool::UsageError& e) {
      std::fprintf(stderr, "vitrine %s: %s\n", command.name, e.message.c_str());
    } catch (const std::exception& e) {
      std::fprintf(stderr, "vitrine %s: %s\n", command.name, e.what());
    }
    return 1;
  }
  std::fprintf(stderr, "vitrine: unknown command '%s'\n", name.c_str());
  PrintUsage();
  return 1;
}
