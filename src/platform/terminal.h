#pragma once
// Whether the program's error output is a terminal a person watches (progress is shown
// there, and only there).
namespace vitrine {

bool ErrorOutputIsTerminal();

}  // namespace vitrine
