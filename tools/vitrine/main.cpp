// The vitrine command-line tool: builds, inspects and renders packages.
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  std::fprintf(stderr, "usage: vitrine COMMAND ...\n");
  return argc > 1 ? 1 : 0;
}
