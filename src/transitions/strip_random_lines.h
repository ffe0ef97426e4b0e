#pragma once
// Random lines: one row or column per frame, drawn from the list of those still pending;
// "Random crossLines" adds a row drawn at random, repeats allowed, to every column.
namespace vitrine {

enum class RandomLinesKind { Rows, Columns, Cross };

void SetupRandomLines(RandomLinesKind kind);
bool RandomLinesFrame();

}  // namespace vitrine
