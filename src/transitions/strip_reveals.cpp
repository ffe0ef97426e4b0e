// The catalogue rows of the strip and band reveals.
#include "transitions/catalogue.h"
#include "transitions/strip_centre_rect.h"
#include "transitions/strip_growing_band.h"
#include "transitions/strip_lines.h"
#include "transitions/strip_ragged_band.h"
#include "transitions/strip_rain.h"
#include "transitions/strip_random_lines.h"
#include "transitions/strip_scan.h"

namespace vitrine {
namespace {

using A = const TransitionArgs&;
using B = BandAnchor;
using E = Edge;
constexpr int32_t kRaggedLarge = 5, kRaggedSmall = 1;
constexpr int32_t kGrowingLarge = 15, kGrowingSmall = 5;

template <int32_t Width>
bool GrowingBandFrameOf() {
  return GrowingBandFrame(Width);
}

}  // namespace

void AddStripRevealEntries(TransitionTable& table) {
  FillRows(table, {
    {kBandDownLarge, [](A) { SetupRaggedBand(E::Top, kRaggedLarge); }, &RaggedBandFrame},
    {kBandDownSmall, [](A) { SetupRaggedBand(E::Top, kRaggedSmall); }, &RaggedBandFrame},
    {kBandLeftLarge, [](A) { SetupRaggedBand(E::Right, kRaggedLarge); }, &RaggedBandFrame},
    {kBandLeftSamll, [](A) { SetupRaggedBand(E::Right, kRaggedSmall); }, &RaggedBandFrame},
    {kBandRightLarge, [](A) { SetupRaggedBand(E::Left, kRaggedLarge); }, &RaggedBandFrame},
    {kBandRightSmall, [](A) { SetupRaggedBand(E::Left, kRaggedSmall); }, &RaggedBandFrame},
    {kBandUpLarge, [](A) { SetupRaggedBand(E::Bottom, kRaggedLarge); }, &RaggedBandFrame},
    {kBandUpSmall, [](A) { SetupRaggedBand(E::Bottom, kRaggedSmall); }, &RaggedBandFrame},

    {kBandFromCenterLarge, [](A) { SetupGrowingBand(B::Centre, false); }, &GrowingBandFrameOf<kGrowingLarge>},
    {kBandFromCenterSmall, [](A) { SetupGrowingBand(B::Centre, false); }, &GrowingBandFrameOf<kGrowingSmall>},
    {kBandFromLeftBottomLarge, [](A) { SetupGrowingBand(B::LeftBottom, false); }, &GrowingBandFrameOf<kGrowingLarge>},
    {kBandFromLeftBottomSmall, [](A) { SetupGrowingBand(B::LeftBottom, false); }, &GrowingBandFrameOf<kGrowingSmall>},
    {kBandFromLeftTopLarge, [](A) { SetupGrowingBand(B::LeftTop, false); }, &GrowingBandFrameOf<kGrowingLarge>},
    {kBandFromLeftTopSmall, [](A) { SetupGrowingBand(B::LeftTop, false); }, &GrowingBandFrameOf<kGrowingSmall>},
    {kBandFromRightBottomLarge, [](A) { SetupGrowingBand(B::RightBottom, false); }, &GrowingBandFrameOf<kGrowingLarge>},
    {kBandFromRightBottomSmall, [](A) { SetupGrowingBand(B::RightBottom, false); }, &GrowingBandFrameOf<kGrowingSmall>},
    {kBandFromRightTopLarge, [](A) { SetupGrowingBand(B::RightTop, false); }, &GrowingBandFrameOf<kGrowingLarge>},
    {kBandFromRightTopSmall, [](A) { SetupGrowingBand(B::RightTop, false); }, &GrowingBandFrameOf<kGrowingSmall>},
    {kBandToCenterLarge, [](A) { SetupGrowingBand(B::Centre, true); }, &GrowingBandFrameOf<kGrowingLarge>},
    {kBandToCenterSmall, [](A) { SetupGrowingBand(B::Centre, true); }, &GrowingBandFrameOf<kGrowingSmall>},

    {kCenterDiffuse, [](A) { SetupCentreRect(false); }, &CentreRectFrame},
    {kCenterEnvelop, [](A) { SetupCentreRect(true); }, &CentreRectFrame},

    {kLineDown, [](A) { SetupLines(E::Top, false); }, &LinesFrame},
    {kLineDownRebound, [](A) { SetupLines(E::Top, true); }, &LinesFrame},
    {kLineLeft, [](A) { SetupLines(E::Right, false); }, &LinesFrame},
    {kLineLeftRebound, [](A) { SetupLines(E::Right, true); }, &LinesFrame},
    {kLineRight, [](A) { SetupLines(E::Left, false); }, &LinesFrame},
    {kLineRightRebound, [](A) { SetupLines(E::Left, true); }, &LinesFrame},
    {kLineUp, [](A) { SetupLines(E::Bottom, false); }, &LinesFrame},
    {kLineUpRebound, [](A) { SetupLines(E::Bottom, true); }, &LinesFrame},

    {kLinesHorizontal, [](A) { SetupRandomLines(RandomLinesKind::Rows); }, &RandomLinesFrame},
    {kLinesVertical, [](A) { SetupRandomLines(RandomLinesKind::Columns); }, &RandomLinesFrame},
    {kRandomCrossLines, [](A) { SetupRandomLines(RandomLinesKind::Cross); }, &RandomLinesFrame},

    {kRainDown, [](A) { SetupRain(E::Top); }, &RainFrame},
    {kRainLeft, [](A) { SetupRain(E::Right); }, &RainFrame},
    {kRainRight, [](A) { SetupRain(E::Left); }, &RainFrame},
    {kRainUp, [](A) { SetupRain(E::Bottom); }, &RainFrame},

    {kScanDown, [](A) { SetupScan(ScanKind::Down); }, &ScanFrame},
    {kScanLeft, [](A) { SetupScan(ScanKind::Left); }, &ScanFrame},
    {kScanRight, [](A) { SetupScan(ScanKind::Right); }, &ScanFrame},
    {kScanToCenterHorizontal, [](A) { SetupScan(ScanKind::ToCentreH); }, &ScanFrame},
    {kScanToCenterVertical, [](A) { SetupScan(ScanKind::ToCentreV); }, &ScanFrame},
    {kScanToEdgeHorizontal, [](A) { SetupScan(ScanKind::ToEdgeH); }, &ScanFrame},
    {kScanToEdgeVertical, [](A) { SetupScan(ScanKind::ToEdgeV); }, &ScanFrame},
    {kScanUp, [](A) { SetupScan(ScanKind::Up); }, &ScanFrame},
  });
}

}  // namespace vitrine
