#pragma once
// Draws the player's display list into a 32-bit work surface: shapes filled per fill style
// from SWF's edge model (a path bounds the style on its left and the one on its right),
// strokes with round caps and joins, gradients, bitmap fills resolved by id when drawn,
// clip layers as coverage masks, sprites, morphs, static text, buttons in their up state and
// text fields, in the movie's own glyphs or in the system's face for a device font. An object
// with a blend mode or filters is drawn into a layer of its own (over black and over white,
// which gives its alpha), filtered and then mixed in.
#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "flash/swf/player.h"
#include "flash/swf/rasterizer.h"
#include "raster/bitmap.h"
#include "raster/text_renderer.h"

namespace vitrine::swf {

// Objects drawn into layers of their own (for blend modes and filters) in one frame, and
// layers inside layers; beyond these an object is drawn as if it had no effects.
inline constexpr int kMaxLayers = 64;
inline constexpr int kMaxLayerNesting = 6;
// What one frame may draw at most; what lies beyond is left out of that frame.
inline constexpr size_t kMaxDrawnObjects = 20000;
inline constexpr size_t kMaxDrawnSegments = 4u << 20;
// Rows crossed by lines plus pixels swept, per frame (a full 1920 x 1080 frame of 200 shapes
// takes some 10 million); what a frame would do beyond it is left out.
inline constexpr uint64_t kMaxRasterWork = 200u << 20;
// The frame is drawn in bands of this many rows, each by itself from the whole display list:
// a band's pixels stay in the processor's caches while its shapes are drawn, and bands can be
// drawn side by side. The segment and work budgets are shared out among the bands by rows.
inline constexpr int32_t kBandRows = 64;
// Most threads one renderer draws with.
inline constexpr int kMaxRenderThreads = 16;

class Renderer {
 public:
  explicit Renderer(TextRenderer* text = nullptr);
  ~Renderer();
  Renderer(const Renderer&) = delete;
  Renderer& operator=(const Renderer&) = delete;

  // Draws with this many threads (1 to kMaxRenderThreads), the caller's own among them; the
  // others wait for frames between them. Bands are the same however many threads draw them,
  // so every count gives the same pixels.
  void SetThreads(int threads);
  int Threads() const { return int(lanes_.size()) + 1; }

  // Whether the parts of shapes that an opaque fill drawn later in the band covers whole are
  // left undrawn (the default). The pixels are the same either way; only the time differs.
  void SetSkipHidden(bool skip);

  // Fills surface (Xrgb8888) with background and draws the frame, view mapping the movie's
  // twips to the surface's pixels.
  void Render(const Player& player, Bitmap& surface, const Matrix& view, Rgba background);

  // Over the last frame, all bands together.
  size_t DrawnSegments() const;
  uint64_t RasterWork() const;
  // Pixels of shapes left undrawn because an opaque fill drawn later covers them.
  uint64_t SkippedPixels() const;

 private:
  struct Target {
    const uint8_t* mask = nullptr;  // coverage of the clip layers in force, or none
    uint8_t* maskOut = nullptr;     // drawing a clip layer: coverage goes here, not colour
  };
  struct Paint;
  class Workers;
  struct FlatShapes;
  struct Held;

  // Clears rows top .. bottom-1 and draws the list there; the budgets are the band's share.
  void DrawBand(const Player& player, Bitmap& surface, const Matrix& view, uint32_t background, int32_t top,
                int32_t bottom);
  // Whether a shape drawn by m (with strokes up to margin pixels wide either side) may touch
  // the band's rows. The edges looked at count against a budget of their own; past it, no
  // shape is drawn in the band.
  bool MayTouchBand(const Shape& shape, const Matrix& m, double margin);

  void DrawList(const std::map<uint16_t, DisplayObject>& list, const Matrix& m, const CxForm& cx, Target target,
                int nesting);
  void DrawObject(const DisplayObject& object, const Matrix& m, const CxForm& cx, Target target, int nesting);
  void DrawLayered(const DisplayObject& object, const Matrix& m, const CxForm& cx, Target target, int nesting);
  void DrawCharacter(const Character& ch, const DisplayObject* object, const Matrix& m, const CxForm& cx,
                     Target target, int nesting);
  // lasting: the shape stays where it is for the whole frame (a character of the movie), so
  // its outlines, flattened once, serve every band.
  void DrawShape(const Shape& shape, const Matrix& m, const CxForm& cx, Target target,
                 const Rgba* fillColour = nullptr, bool lasting = false);
  // What a clip's scripts drew, under its children.
  void DrawDrawing(const Clip& clip, const Matrix& m, const CxForm& cx, Target target);
  void DrawText(const StaticText& text, const Matrix& m, const CxForm& cx, Target target);
  void DrawEditText(const EditText& edit, const Matrix& m, const CxForm& cx, Target target);
  bool OverBudget() const {
    return segments_ > segmentBudget_ || raster_.Work() - bandWork_ > workBudget_;
  }
  bool MakePaint(const FillStyle& fill, const Matrix& m, const CxForm& cx, Paint& paint);
  // Lays paint over the runs the rasteriser's outline covers: straight away, or held back
  // with the band's other shapes (see Held).
  void Shade(const Paint& paint, Target target);
  template <class Runs>
  void ShadeRuns(Bitmap& surface, const Paint& paint, Target target, Runs&& runs);
  void Hold(const Paint& paint);
  // Draws the shapes held back so far; called before anything else draws on or reads from
  // the band's surface.
  void DrawHeld();
  std::vector<uint8_t> TakeMask();

  TextRenderer* text_;
  const Player* player_ = nullptr;
  Bitmap* surface_ = nullptr;
  Bitmap* bandSurface_ = nullptr;  // the frame's surface, as against a layer's
  bool skipHidden_ = true;
  std::unique_ptr<Held> held_;
  Rasterizer raster_;
  size_t objects_ = 0, segments_ = 0;
  std::vector<std::vector<uint8_t>> spareMasks_;
  const Image* directImage_ = nullptr;  // a bitmap placed by itself
  // Drawing a layer: the colour its pass started from (see Composite).
  std::optional<uint32_t> backdrop_;
  double viewScale_ = 1;  // filters' pixels are the stage's, scaled with it
  int layers_ = 0, layerNesting_ = 0;
  std::vector<float> constantCoverage_;
  // Gradient tables by their stops' colours (after the colour transform) and interpolation:
  // a shape crossing several bands, or drawn frame after frame, works its table out once.
  std::unordered_map<std::string, std::array<uint32_t, 256>> gradientTables_;
  std::string gradientKey_;
  int32_t bandTop_ = 0, bandBottom_ = 0;  // the rows being drawn
  Matrix view_;  // the stage's twips to the surface's pixels
  size_t segmentBudget_ = kMaxDrawnSegments;
  uint64_t bandWork_ = 0, workBudget_ = kMaxRasterWork;
  size_t frameSegments_ = 0;
  uint64_t skippedPixels_ = 0;
  size_t scannedEdges_ = 0;  // in the band, by MayTouchBand
  std::mutex ownTextLock_;
  std::mutex* textLock_ = &ownTextLock_;      // the text renderer draws one text at a time
  std::vector<std::unique_ptr<Renderer>> lanes_;  // the other threads' own renderers
  std::unique_ptr<Workers> workers_;
  std::vector<uint64_t> bandCosts_;  // each band's raster work in the last frame
  std::vector<int32_t> bandOrder_;   // the order in which threads take the bands
  std::unique_ptr<FlatShapes> flat_;  // this frame's flattened lasting shapes
};

// The movie's place in a window of the given size, as the control's ScaleMode (0 show all,
// 1 no border, 2 exact fit, 3 no scale) and AlignMode (bits: 1 left, 2 right, 4 top,
// 8 bottom; centred otherwise) put it.
Matrix ViewMatrix(const SwfRect& frame, int32_t width, int32_t height, int32_t scaleMode, int32_t alignMode);

}  // namespace vitrine::swf
