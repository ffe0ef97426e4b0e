#pragma once
// Pictures for the cell and motion family tests whose every new pixel names its own place,
// so a test can tell which picture pixel a surface pixel came from.
#include <string>
#include <vector>

#include "transitions/transition_rig.h"

namespace vitrine::test {

constexpr uint32_t kNewMark = 0x8000;  // raw 5-6-5 values from here up are new pixels (below the sentinel)

inline Bitmap IndexedNewPicture(int32_t w, int32_t h) {
  Bitmap b(w, h, PixelFormat::Rgb565);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) b.SetRawPixel(x, y, kNewMark + uint32_t(y * w + x));
  return b;
}

inline Bitmap PlainOldPicture(int32_t w, int32_t h) {
  Bitmap b(w, h, PixelFormat::Rgb565);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) b.SetRawPixel(x, y, 0x0001);
  return b;
}

// The rig with the area at (2, 3) of a surface with a sentinel border.
inline TransitionRig IndexedRig(int32_t w, int32_t h) {
  return TransitionRig(PlainOldPicture(w, h), IndexedNewPicture(w, h), 2, 3);
}

// The picture pixel shown at (x, y) of the area, or (-1, -1) for the old picture.
inline Point SourceAt(const TransitionRig& rig, int32_t x, int32_t y) {
  const Rect area = rig.Area();
  const uint32_t raw = rig.Surface().RawPixel(area.left + x, area.top + y);
  if (raw < kNewMark || raw >= kNewMark + uint32_t(area.Width() * area.Height())) return {-1, -1};
  const int32_t index = int32_t(raw - kNewMark);
  return {index % area.Width(), index / area.Width()};
}

// For every row of the area, the picture row it shows in full, -1 for the old picture and
// -2 for a mixed row.
inline std::vector<int32_t> RowSources(const TransitionRig& rig) {
  const Rect area = rig.Area();
  std::vector<int32_t> rows;
  for (int32_t y = 0; y < area.Height(); ++y) {
    int32_t row = SourceAt(rig, 0, y).y;
    for (int32_t x = 0; x < area.Width(); ++x) {
      const Point p = SourceAt(rig, x, y);
      if (p.y != row || (row >= 0 && p.x != x)) row = -2;
    }
    rows.push_back(row);
  }
  return rows;
}

inline std::vector<int32_t> ColumnSources(const TransitionRig& rig) {
  const Rect area = rig.Area();
  std::vector<int32_t> columns;
  for (int32_t x = 0; x < area.Width(); ++x) {
    int32_t column = SourceAt(rig, x, 0).x;
    for (int32_t y = 0; y < area.Height(); ++y) {
      const Point p = SourceAt(rig, x, y);
      if (p.x != column || (column >= 0 && p.y != y)) column = -2;
    }
    columns.push_back(column);
  }
  return columns;
}

// The area as text, one line per row: '#' where the new picture stands in place, '.' where
// the old one is, '*' where a new pixel stands out of place.
inline std::string AreaMap(const TransitionRig& rig) {
  const Rect area = rig.Area();
  std::string map;
  for (int32_t y = 0; y < area.Height(); ++y) {
    for (int32_t x = 0; x < area.Width(); ++x) {
      const Point p = SourceAt(rig, x, y);
      map += p.x < 0 ? '.' : (p.x == x && p.y == y ? '#' : '*');
    }
    map += '\n';
  }
  return map;
}

inline void StepFrames(TransitionRig& rig, int n) {
  for (int i = 0; i < n; ++i) rig.Step();
}

}  // namespace vitrine::test
