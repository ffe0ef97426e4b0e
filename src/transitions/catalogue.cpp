#include "transitions/catalogue.h"

#include "transitions/dispatch.h"
#include "transitions/transition_draw.h"
#include "transitions/transition_state.h"

namespace vitrine {
namespace {

// In index order, as the settings dialog lists them; the misspellings and the trailing blank
// of "Scan to center(Vertical) " are the dialog's own.
constexpr const char* kTransitionNames[kTransitionCount] = {
    "Band down large",  // 0
    "Band down small",  // 1
    "Band from center large",  // 2
    "Band from center small",  // 3
    "Band from left-bottom large",  // 4
    "Band from left-bottom small",  // 5
    "Band from left-top large",  // 6
    "Band from left-top small",  // 7
    "Band from right-bottom large",  // 8
    "Band from right-bottom small",  // 9
    "Band from right-top large",  // 10
    "Band from right-top small",  // 11
    "Band left large",  // 12
    "Band left samll",  // 13
    "Band right large",  // 14
    "Band right small",  // 15
    "Band to center large",  // 16
    "Band to center small",  // 17
    "Band up large",  // 18
    "Band up small",  // 19
    "Block from center",  // 20
    "Block to center",  // 21
    "Center(Diffuse)",  // 22
    "Center(Envelop)",  // 23
    "Checkerboard down",  // 24
    "Checkerboard down rebound",  // 25
    "Checkerboard left",  // 26
    "Checkerboard left rebound",  // 27
    "Checkerboard right",  // 28
    "Checkerboard right rebound",  // 29
    "Checkerboard up",  // 30
    "Checkerboard up rebound",  // 31
    "Circle left-bottom",  // 32
    "Circle left-top",  // 33
    "Circle right-bottom",  // 34
    "Circle right-top",  // 35
    "Circle(Center)",  // 36
    "Circle(Random)",  // 37
    "Cross wipe from center",  // 38
    "Cross wipe to center",  // 39
    "Diamond from center",  // 40
    "Diamond to center",  // 41
    "Ellipse from center",  // 42
    "Ellipse to center",  // 43
    "Ellipse(Random)",  // 44
    "Fan wipe",  // 45
    "Fan wipe(Anticlockwise)",  // 46
    "Increase show",  // 47
    "Line down",  // 48
    "Line down rebound",  // 49
    "Line left",  // 50
    "Line left rebound",  // 51
    "Line right",  // 52
    "Line right rebound",  // 53
    "Line up",  // 54
    "Line up rebound",  // 55
    "Lines(Horizontal)",  // 56
    "Lines(Vertical)",  // 57
    "Mosaic",  // 58
    "Move down",  // 59
    "Move down 1",  // 60
    "Move down 2",  // 61
    "Move down 3",  // 62
    "Move down 4",  // 63
    "Move down 5",  // 64
    "Move from bottom left",  // 65
    "Move from bottom right",  // 66
    "Move from top left",  // 67
    "Move from top right",  // 68
    "Move left",  // 69
    "Move left 1",  // 70
    "Move left 2",  // 71
    "Move left 3",  // 72
    "Move left 4",  // 73
    "Move left 5",  // 74
    "Move left right",  // 75
    "Move right",  // 76
    "Move right 1",  // 77
    "Move right 2",  // 78
    "Move right 3",  // 79
    "Move right 4",  // 80
    "Move right 5",  // 81
    "Move up",  // 82
    "Move up 1",  // 83
    "Move up 2",  // 84
    "Move up 3",  // 85
    "Move up 4",  // 86
    "Move up 5",  // 87
    "Move up down",  // 88
    "Multi-Box from center",  // 89
    "Multi-Box to center",  // 90
    "Multi-Wipe from bottom-left",  // 91
    "Multi-Wipe from bottom-right",  // 92
    "Multi-Wipe from left-top",  // 93
    "Multi-Wipe from right-top",  // 94
    "Rain down",  // 95
    "Rain left",  // 96
    "Rain right",  // 97
    "Rain up",  // 98
    "Random crossLines",  // 99
    "Roll down",  // 100
    "Roll left",  // 101
    "Roll right",  // 102
    "Roll up",  // 103
    "Scan down",  // 104
    "Scan left",  // 105
    "Scan right",  // 106
    "Scan to center(Horizontal)",  // 107
    "Scan to center(Vertical) ",  // 108
    "Scan to edge(Horizontal)",  // 109
    "Scan to edge(Vertical)",  // 110
    "Scan up",  // 111
    "Show from bottom-left",  // 112
    "Show from bottom-right",  // 113
    "Show from top-left",  // 114
    "Show from top-right",  // 115
    "Show left-right",  // 116
    "Show up-dwon",  // 117
    "Shutter(Horizontal)",  // 118
    "Shutter(Vertical)",  // 119
    "Stretch from bottom",  // 120
    "Stretch from bottom-left",  // 121
    "Stretch from bottom-right",  // 122
    "Stretch from center",  // 123
    "Stretch from left",  // 124
    "Stretch from right",  // 125
    "Stretch from top",  // 126
    "Stretch from top-left",  // 127
    "Stretch from top-right",  // 128
    "Sweep down",  // 129
    "Sweep left",  // 130
    "Sweep right",  // 131
    "Sweep up",  // 132
    "Tow bar move down",  // 133
    "Tow bar move up",  // 134
    "Tow bar wipe down",  // 135
    "Tow bar wipe up",  // 136
    "Two bar move left",  // 137
    "Two bar move right",  // 138
    "Two bar wipe left",  // 139
    "Two bar wipe right",  // 140
    "Wedge wipe down",  // 141
    "Wedge wipe left",  // 142
    "Wedge wipe right",  // 143
    "Wedge wipe up",  // 144
    "Window blind down",  // 145
    "Window blind left",  // 146
    "Window blind right",  // 147
    "Window blind up",  // 148
    "Wipe from left-bottom",  // 149
    "Wipe from left-top",  // 150
    "Wipe from left-top/right-bottom",  // 151
    "Wipe from right-bottom",  // 152
    "Wipe from right-top",  // 153
    "Wipe from right-top/left-bottom",  // 154
    "Wipe to left-top/right-bottom",  // 155
    "Wipe to right-top/left-bottom",  // 156
    "Zig-zag down",  // 157
    "Zig-zag left",  // 158
    "Zig-zag right",  // 159
    "Zig-zag up",  // 160
};

TransitionTable BuildCatalogue() {
  TransitionTable table{};
  for (int i = 0; i < kTransitionCount; ++i) table[i].name = kTransitionNames[i];
  AddStripRevealEntries(table);
  AddRegionRevealEntries(table);
  AddCellRevealEntries(table);
  AddMotionRevealEntries(table);
  return table;
}

}  // namespace

bool NoTransition() {
  DrawWholeNew();
  return true;
}

const TransitionTable& TransitionCatalogue() {
  static const TransitionTable table = BuildCatalogue();
  return table;
}

const TransitionEntry& NoTransitionEntry() {
  static const TransitionEntry entry{"", 10, nullptr, &NoTransition, nullptr};
  return entry;
}

}  // namespace vitrine
