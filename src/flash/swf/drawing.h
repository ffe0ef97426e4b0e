#pragma once
// What a clip's script draws with its drawing methods: fills and lines made into the same
// styles and edge paths a DefineShape gives, so they are drawn as authored shapes are. A fill
// begun after lines starts a new layer, so what is drawn later lies on top, as in the Flash
// player; an open fill closes to its start at endFill (and at a moveTo within it). Fills are
// by the even-odd rule, as the Flash player's drawing methods fill: a star drawn in one stroke
// has a hole in its middle, and so has a fill of two nested outlines.
#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

#include "flash/swf/shape.h"

namespace vitrine::swf {

// Edges all of one movie's drawings may hold together; past it further edges are left out.
inline constexpr size_t kMaxDrawingEdges = 1000000;

// The edges a movie's drawings hold, shared by them all.
struct DrawingPool {
  size_t used = 0;
  size_t limit = kMaxDrawingEdges;
};

class Drawing {
 public:
  explicit Drawing(std::shared_ptr<DrawingPool> pool = std::make_shared<DrawingPool>()) : pool_(std::move(pool)) {}
  Drawing(const Drawing& other);  // a copy draws from the same pool
  Drawing& operator=(const Drawing&) = delete;
  ~Drawing();

  // Coordinates in twips.
  void BeginFill(const FillStyle& fill);
  void EndFill();
  // A line style for the edges that follow; none ends the lines.
  void SetLine(const std::optional<LineStyle>& line);
  void MoveTo(double x, double y);
  void LineTo(double x, double y);
  void CurveTo(double cx, double cy, double x, double y);
  void Clear();

  // The layers in drawing order; each is drawn as one shape.
  const std::vector<Shape>& Layers() const { return layers_; }
  bool Empty() const { return layers_.empty(); }
  // The box of the edges, strokes included (half their width either side); false when empty.
  bool Bounds(double& left, double& top, double& right, double& bottom) const;

 private:
  Shape& Layer();
  void AddEdge(const Edge& edge);
  void CloseFill();
  bool Take();  // one edge from the pool, false when it is spent
  void Give();

  std::vector<Shape> layers_;
  double x_ = 0, y_ = 0;  // the pen
  bool filling_ = false;
  uint32_t fillStyle_ = 0;       // in the last layer
  size_t fillPath_ = 0;          // index of the fill's open path in the last layer
  double fillX_ = 0, fillY_ = 0;  // where the open fill path began
  bool fillOpen_ = false;
  bool fillClosing_ = false;  // the open path's last edge is the one back to its start
  std::optional<LineStyle> line_;
  uint32_t lineStyle_ = 0;  // in the last layer, 0 before it is added
  size_t linePath_ = 0;
  bool lineOpen_ = false;
  bool layerHasLines_ = false;
  size_t edges_ = 0;  // taken from the pool
  std::shared_ptr<DrawingPool> pool_;
};

}  // namespace vitrine::swf
