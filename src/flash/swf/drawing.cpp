#include "flash/swf/drawing.h"

#include <algorithm>
#include <cmath>

namespace vitrine::swf {

Drawing::Drawing(const Drawing& other)
    : layers_(other.layers_), x_(other.x_), y_(other.y_), filling_(other.filling_), fillStyle_(other.fillStyle_),
      fillPath_(other.fillPath_), fillX_(other.fillX_), fillY_(other.fillY_), fillOpen_(other.fillOpen_),
      fillClosing_(other.fillClosing_), line_(other.line_), lineStyle_(other.lineStyle_), linePath_(other.linePath_),
      lineOpen_(other.lineOpen_), layerHasLines_(other.layerHasLines_), edges_(0), pool_(other.pool_) {
  // The copy's edges count against the pool as well; when it cannot hold them the copy is empty.
  if (pool_->used + other.edges_ > pool_->limit) {
    layers_.clear();
    filling_ = fillOpen_ = fillClosing_ = lineOpen_ = layerHasLines_ = false;
    lineStyle_ = 0;
    return;
  }
  edges_ = other.edges_;
  pool_->used += edges_;
}

Drawing::~Drawing() { pool_->used -= std::min(pool_->used, edges_); }

bool Drawing::Take() {
  if (pool_->used >= pool_->limit) return false;
  ++pool_->used;
  ++edges_;
  return true;
}

void Drawing::Give() {
  --edges_;
  --pool_->used;
}

Shape& Drawing::Layer() {
  if (layers_.empty()) layers_.emplace_back().evenOdd = true;
  return layers_.back();
}

void Drawing::BeginFill(const FillStyle& fill) {
  EndFill();
  // Lines already drawn stay under the new fill.
  if (layerHasLines_) {
    layers_.emplace_back().evenOdd = true;
    layerHasLines_ = false;
    lineStyle_ = 0;
    lineOpen_ = false;
  }
  Shape& shape = Layer();
  if (shape.fills.size() >= kMaxStyles) return;
  shape.fills.push_back(fill);
  fillStyle_ = uint32_t(shape.fills.size());
  filling_ = true;
  fillOpen_ = false;
}

void Drawing::CloseFill() {
  // The open path already ends with its closing edge.
  fillOpen_ = false;
  fillClosing_ = false;
}

void Drawing::EndFill() {
  if (!filling_) return;
  CloseFill();
  filling_ = false;
}

void Drawing::SetLine(const std::optional<LineStyle>& line) {
  line_ = line;
  lineStyle_ = 0;
  lineOpen_ = false;
}

void Drawing::MoveTo(double x, double y) {
  if (filling_) CloseFill();
  x_ = x;
  y_ = y;
  lineOpen_ = false;
}

void Drawing::AddEdge(const Edge& edge) {
  if (filling_) {
    Shape& shape = Layer();
    if (!fillOpen_) {
      Path path;
      path.fill1 = fillStyle_;
      shape.paths.push_back(std::move(path));
      fillPath_ = shape.paths.size() - 1;
      fillX_ = edge.x0;
      fillY_ = edge.y0;
      fillOpen_ = true;
      fillClosing_ = false;
    }
    // The path is kept closed: its last edge leads back to its start until the next edge
    // takes its place, so a fill left open is drawn as the Flash player draws it.
    std::vector<Edge>& edges = shape.paths[fillPath_].edges;
    if (fillClosing_) {
      edges.pop_back();
      Give();
      fillClosing_ = false;
    }
    if (!Take()) return;
    edges.push_back(edge);
    if ((edge.x1 != fillX_ || edge.y1 != fillY_) && Take()) {
      edges.push_back({edge.x1, edge.y1, 0, 0, fillX_, fillY_, false});
      fillClosing_ = true;
    }
  }
  if (line_ && pool_->used < pool_->limit) {
    Shape& shape = Layer();
    if (!lineStyle_) {
      if (shape.lines.size() >= kMaxStyles) return;
      shape.lines.push_back(*line_);
      lineStyle_ = uint32_t(shape.lines.size());
    }
    if (!lineOpen_) {
      Path path;
      path.line = lineStyle_;
      shape.paths.push_back(std::move(path));
      linePath_ = shape.paths.size() - 1;
      lineOpen_ = true;
    }
    if (!Take()) return;
    shape.paths[linePath_].edges.push_back(edge);
    layerHasLines_ = true;
  }
}

void Drawing::LineTo(double x, double y) {
  AddEdge({x_, y_, 0, 0, x, y, false});
  x_ = x;
  y_ = y;
}

void Drawing::CurveTo(double cx, double cy, double x, double y) {
  AddEdge({x_, y_, cx, cy, x, y, true});
  x_ = x;
  y_ = y;
}

void Drawing::Clear() {
  // The styles go as well: what is drawn next needs a beginFill or lineStyle of its own.
  pool_->used -= std::min(pool_->used, edges_);
  edges_ = 0;
  layers_.clear();
  x_ = y_ = 0;
  filling_ = fillOpen_ = fillClosing_ = lineOpen_ = layerHasLines_ = false;
  fillStyle_ = lineStyle_ = 0;
  line_.reset();
}

bool Drawing::Bounds(double& left, double& top, double& right, double& bottom) const {
  left = top = 1e300;
  right = bottom = -1e300;
  for (const Shape& shape : layers_)
    for (const Path& p : shape.paths) {
      double r = p.line && p.line <= shape.lines.size() ? shape.lines[p.line - 1].width / 2.0 : 0;
      for (const Edge& e : p.edges) {
        double xs[3] = {e.x0, e.x1, e.x1}, ys[3] = {e.y0, e.y1, e.y1};
        if (e.curve) {
          // The curve's extremes on each axis, where its derivative is nought.
          auto extreme = [](double a, double c, double b) {
            double d = a - 2 * c + b;
            if (d == 0) return b;
            double t = std::clamp((a - c) / d, 0.0, 1.0), u = 1 - t;
            return u * u * a + 2 * u * t * c + t * t * b;
          };
          xs[2] = extreme(e.x0, e.cx, e.x1);
          ys[2] = extreme(e.y0, e.cy, e.y1);
        }
        for (int i = 0; i < 3; ++i) {
          left = std::min(left, xs[i] - r);
          right = std::max(right, xs[i] + r);
          top = std::min(top, ys[i] - r);
          bottom = std::max(bottom, ys[i] + r);
        }
      }
    }
  return left <= right;
}

}  // namespace vitrine::swf
