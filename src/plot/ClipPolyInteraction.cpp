// Clip polygon modes, drags and exclusive-or figures; clipping of the cave by the polygon.
#include "plot/ClipPolyInteraction.h"

#include <algorithm>
#include <vector>

namespace {

std::size_t Used(const TPolyGon& g) {
    return std::min(static_cast<std::size_t>(std::max(g.Count, 0)), g.Pts.size());
}

void Square(TPlotCanvas& c, TScreenPoint p, std::int32_t half) {
    c.Rectangle(p.X - half, p.Y - half, p.X + half, p.Y + half);
}

} // namespace

// ---- figures -------------------------------------------------------------------------------

void DrawNodeMarker(TPlotCanvas& c, TScreenPoint p) {
    TKeepPen keep(c);
    c.SetPen({kClipMovingColour, kPenSolid, 1});
    c.SetBrush({0x00000000, true});
    Square(c, p, kNodeMarkerHalf);
}

void DrawPickMarker(TPlotCanvas& c, TScreenPoint p) {
    DrawNodeMarker(c, p);
    TKeepPen keep(c);
    c.SetPen({kClipMovingColour, kPenSolid, 1});
    c.SetBrush({0x0000FFFF, true}); // yellow
    Square(c, p, kPickMarkerHalf);
}

void DrawClipPolygon(TPlotCanvas& c, const TPoints& pts, bool closed, bool moving) {
    if (pts.empty())
        return;
    {
        TKeepPen keep(c);
        c.SetPen(moving ? TPlotPen{kClipMovingColour, kPenSolid, kClipMovingWidth}
                        : TPlotPen{kClipPolyColour, kPenSolid, 1});
        if (pts.size() >= 2) {
            c.MoveTo(pts[0].X, pts[0].Y);
            for (std::size_t i = 1; i < pts.size(); ++i)
                c.LineTo(pts[i].X, pts[i].Y);
            if (closed)
                c.LineTo(pts[0].X, pts[0].Y);
        }
    }
    for (const TScreenPoint& p : pts)
        DrawNodeMarker(c, p);
}

void DrawPolyGonRect(TPlotCanvas& c, const TPolyGon& g) {
    TKeepPen keep(c);
    c.SetPen({kClipHandleColour, kPenDash, 1});
    c.SetBrush({kClipHandleColour, false});
    c.Rectangle(g.Bounds.Left, g.Bounds.Top, g.Bounds.Right, g.Bounds.Bottom);
    c.SetPen({kClipHandleColour, kPenSolid, 1});
    c.SetBrush({kClipHandleColour, true});
    for (const TScreenPoint& h : g.Handles)
        Square(c, h, kHandleHalf);
}

// ---- state ---------------------------------------------------------------------------------

void TClipPolyInteraction::ToWorldPoints(const TPlotView& view) {
    const std::size_t n = Used(ClipPoly);
    ClipPoly.WPts.resize(n);
    for (std::size_t i = 0; i < n; ++i)
        ToWorld(view, ClipPoly.Pts[i].X, ClipPoly.Pts[i].Y, ClipPoly.WPts[i].X, ClipPoly.WPts[i].Y);
    // The world corner that resizing scales about must follow the nodes.
    UpdatePolyGon(ClipPoly);
}

void TClipPolyInteraction::ToScreenPoints(const TPlotView& view) {
    const std::size_t n = std::min(Used(ClipPoly), ClipPoly.WPts.size());
    for (std::size_t i = 0; i < n; ++i)
        ToScreen(view, ClipPoly.WPts[i].X, ClipPoly.WPts[i].Y, ClipPoly.Pts[i].X,
                 ClipPoly.Pts[i].Y);
    UpdatePolyGon(ClipPoly);
}

void TClipPolyInteraction::PictureCleared() {
    polyShown_ = handlesShown_ = pickShown_ = false;
}

void TClipPolyInteraction::HideAll(TPlotCanvas& c) {
    HideHandles(c);
    HidePolygon(c);
    EndPick(c);
}

void TClipPolyInteraction::PlottClipPolyGoner(TPlotCanvas& c, const TPlotView& view, bool cleared) {
    if (cleared) {
        PictureCleared();
    } else {
        HideAll(c);
    }
    ToScreenPoints(view);
    if (ClipPoly.Loaded || NewPolyMode)
        ShowPolygon(c);
    if (RectMode)
        ShowHandles(c);
}

void TClipPolyInteraction::DrawFigure(TPlotCanvas& c) const {
    DrawClipPolygon(c, shownPts_, shownClosed_, shownMoving_);
}

void TClipPolyInteraction::ShowPolygon(TPlotCanvas& c) {
    if (polyShown_ || ClipPoly.Count < 1)
        return;
    shownPts_.assign(ClipPoly.Pts.begin(),
                     ClipPoly.Pts.begin() + static_cast<std::ptrdiff_t>(Used(ClipPoly)));
    // While a node is dragged its legs run to the pointer.
    if (NodeDrag && NodeIndex >= 0 && static_cast<std::size_t>(NodeIndex) < shownPts_.size())
        shownPts_[static_cast<std::size_t>(NodeIndex)] = DragPos;
    shownClosed_ = ClipPoly.Closed;
    shownMoving_ = PolyMove;
    DrawFigure(c);
    polyShown_ = true;
}

void TClipPolyInteraction::HidePolygon(TPlotCanvas& c) {
    if (!polyShown_)
        return;
    DrawFigure(c);
    polyShown_ = false;
}

void TClipPolyInteraction::ShowHandles(TPlotCanvas& c) {
    if (handlesShown_ || ClipPoly.Count < 2)
        return;
    shownHandles_.Bounds = ClipPoly.Bounds;
    shownHandles_.Handles = ClipPoly.Handles;
    DrawPolyGonRect(c, shownHandles_);
    handlesShown_ = true;
}

void TClipPolyInteraction::HideHandles(TPlotCanvas& c) {
    if (!handlesShown_)
        return;
    DrawPolyGonRect(c, shownHandles_);
    handlesShown_ = false;
}

void TClipPolyInteraction::DrawPick(TPlotCanvas& c, TScreenPoint at) const {
    DrawPickMarker(c, at);
}

void TClipPolyInteraction::StartPick(TPlotCanvas& c) {
    EndPick(c);
    pickAt_ = DragPos;
    DrawPick(c, pickAt_);
    pickShown_ = true;
}

void TClipPolyInteraction::EndPick(TPlotCanvas& c) {
    if (!pickShown_)
        return;
    DrawPick(c, pickAt_);
    pickShown_ = false;
}

// ---- mouse ---------------------------------------------------------------------------------

void TClipPolyInteraction::HitTest(TScreenPoint p, bool startDrag) {
    HitKind = kHitNothing;
    std::int32_t hit = -1;
    for (std::size_t i = 0; i < Used(ClipPoly); ++i)
        if (NearNode(p, ClipPoly.Pts[i]))
            hit = static_cast<std::int32_t>(i);
    if (hit >= 0) {
        HitKind = kHitNode;
        NodeIndex = hit;
        if (startDrag) {
            DragPos = ClipPoly.Pts[static_cast<std::size_t>(hit)];
            NodeDrag = true;
            CornerDrag = false;
        }
        return;
    }
    if (NearPolyGon(p.X, p.Y, ClipPoly)) {
        HitKind = kHitEdge;
        if (startDrag)
            CornerDrag = false;
        return;
    }
    if (!startDrag)
        return;
    CornerIndex = 0;
    for (std::size_t k = 0; k < ClipPoly.Handles.size(); ++k)
        if (NearNode(p, ClipPoly.Handles[k]))
            CornerIndex = static_cast<std::int32_t>(k) + 1;
    CornerDrag = CornerIndex != 0;
}

TClipReply TClipPolyInteraction::LeftPress(TPlotCanvas& c, const TPlotView& view, TScreenPoint p,
                                           bool doubleClick) {
    TClipReply r;
    if (NewPolyMode) {
        HidePolygon(c);
        ClipPoly.Pts.resize(Used(ClipPoly));
        ClipPoly.Pts.push_back(p);
        ClipPoly.Count = static_cast<std::int32_t>(ClipPoly.Pts.size());
        ShowPolygon(c);
        ToWorldPoints(view);
        return r;
    }
    if (!EditMode)
        return r;
    if (!RectMode) {
        HitTest(p, true);
        if (HitKind == kHitNode) {
            StartPick(c);
        } else if (HitKind == kHitEdge) {
            r.DragCursor = true;
            HidePolygon(c);
            PolyMove = true;
            ShowPolygon(c);
            LastMove = p;
            if (doubleClick) {
                RectMode = !RectMode;
                PolyMove = RectMode;
                ShowHandles(c);
            }
        }
        return r;
    }
    if (doubleClick) {
        RectMode = false;
        PolyMove = false;
        HideHandles(c);
        r.FullRedraw = true;
    }
    CornerIndex = 0;
    for (std::size_t k = 0; k < ClipPoly.Handles.size(); ++k)
        if (NearNode(p, ClipPoly.Handles[k]))
            CornerIndex = static_cast<std::int32_t>(k) + 1;
    CornerDrag = CornerIndex != 0;
    return r;
}

TClipReply TClipPolyInteraction::PointerMove(TPlotCanvas& c, const TPlotView& view,
                                             TScreenPoint p) {
    TClipReply r;
    if (NodeDrag && !RectMode) {
        HidePolygon(c);
        EndPick(c);
        DragPos = p;
        ShowPolygon(c);
        StartPick(c);
    } else if (PolyMove) {
        const bool handles = handlesShown_;
        HideHandles(c);
        HidePolygon(c);
        MovePolyGon(p.X - LastMove.X, p.Y - LastMove.Y, ClipPoly);
        ShowPolygon(c);
        if (handles)
            ShowHandles(c);
        LastMove = p;
    } else if (RectMode && CornerDrag && ClipPoly.Count >= 2) {
        HideHandles(c);
        const TPolyRect old = ClipPoly.Bounds;
        TPolyRect& b = ClipPoly.Bounds;
        switch (CornerIndex) {
        case 1:
            b.Left = p.X, b.Top = p.Y;
            break;
        case 2:
            b.Right = p.X, b.Top = p.Y;
            break;
        case 3:
            b.Right = p.X, b.Bottom = p.Y;
            break;
        case 4:
            b.Left = p.X, b.Bottom = p.Y;
            break;
        case 5:
            b.Top = p.Y;
            break;
        case 6:
            b.Right = p.X;
            break;
        case 7:
            b.Bottom = p.Y;
            break;
        case 8:
            b.Left = p.X;
            break;
        default:
            break;
        }
        ClipPoly.Mid = {static_cast<std::int32_t>((static_cast<long long>(b.Left) + b.Right) / 2),
                        static_cast<std::int32_t>((static_cast<long long>(b.Top) + b.Bottom) / 2)};
        HidePolygon(c);
        FitPolyToRect(ClipPoly, old);
        UpdatePolyGon(ClipPoly);
        ToScreenPoints(view);
        ShowPolygon(c);
        ShowHandles(c);
    }
    return r;
}

TClipReply TClipPolyInteraction::LeftRelease(TPlotCanvas& c, const TPlotView& view) {
    TClipReply r;
    if (EditMode) {
        if (RectMode) {
            CornerDrag = false;
        } else if (NodeDrag) {
            HidePolygon(c);
            EndPick(c);
            NodeDrag = false;
            if (NodeIndex >= 0 && static_cast<std::size_t>(NodeIndex) < Used(ClipPoly))
                ClipPoly.Pts[static_cast<std::size_t>(NodeIndex)] = DragPos;
            UpdatePolyGon(ClipPoly);
            ToWorldPoints(view);
            ShowPolygon(c);
        }
    }
    if (PolyMove) {
        ToWorldPoints(view);
        const bool handles = handlesShown_;
        HideHandles(c);
        HidePolygon(c);
        PolyMove = false;
        ShowPolygon(c);
        if (handles)
            ShowHandles(c);
        r.DefaultCursor = true;
    }
    return r;
}

TClipPopup TClipPolyInteraction::RightPress(TScreenPoint p) {
    if (!ClipActive)
        return TClipPopup::None;
    if (!EditMode)
        return TClipPopup::Poly;
    HitTest(p, false);
    return HitKind != kHitNothing ? TClipPopup::EditNode : TClipPopup::Action;
}

// ---- commands ------------------------------------------------------------------------------

void TClipPolyInteraction::DrawNewPolyGon() {
    ClipActive = !ClipActive;
    ClipMenuEnabled = true;
}

void TClipPolyInteraction::NewPolyGon(TPlotCanvas& c) {
    if (ClipPoly.Closed)
        DeletePolygon(c);
    NewPolyMode = true;
    EditMode = false;
    ClipMenuEnabled = true;
    Printable = false;
}

void TClipPolyInteraction::ClosePolyGon(TPlotCanvas& c, const TPlotView& view, double z) {
    HidePolygon(c);
    if (ClipPoly.Count >= 3) {
        ClipPoly.Closed = true;
        ClipPoly.Loaded = true;
        ShowPolygon(c);
    } else {
        ClearPolyGon(ClipPoly);
    }
    ToWorldPoints(view);
    SetPolyZ(ClipPoly, z);
    UpdatePolyGon(ClipPoly);
    NewPolyMode = false;
    EditMode = false;
}

void TClipPolyInteraction::EditPolyGon() {
    if (ClipPoly.Closed)
        EditMode = !EditMode;
}

void TClipPolyInteraction::HideShow(TPlotCanvas& c) {
    if (!ClipPoly.Loaded)
        return;
    if (polyShown_)
        HidePolygon(c);
    else
        ShowPolygon(c);
}

bool TClipPolyInteraction::AddNode(TPlotCanvas& c, const TPlotView& view, TScreenPoint at) {
    if (HitKind == kHitNode || ClipPoly.Count < 2)
        return false;
    const bool handles = handlesShown_;
    HideHandles(c);
    HidePolygon(c);
    InsertNode(at.X, at.Y, ClipPoly);
    // The new node needs its world point, or the next redraw would lose it.
    ToWorldPoints(view);
    ShowPolygon(c);
    if (handles)
        ShowHandles(c);
    return true;
}

bool TClipPolyInteraction::DeleteNodeCmd(TPlotCanvas& c, const TPlotView& view) {
    if (HitKind != kHitNode || ClipPoly.Count <= 2)
        return false;
    const bool handles = handlesShown_;
    HideHandles(c);
    HidePolygon(c);
    EndPick(c);
    ::DeleteNode(NodeIndex, ClipPoly);
    ShowPolygon(c);
    if (handles)
        ShowHandles(c);
    ToWorldPoints(view);
    NodeDrag = false;
    return true;
}

void TClipPolyInteraction::DeletePolygon(TPlotCanvas& c) {
    HideAll(c);
    ClearPolyGon(ClipPoly);
    RectMode = PolyMove = NodeDrag = CornerDrag = false;
}

std::string TClipPolyInteraction::InfoText() const {
    if (ClipPoly.Count <= 0)
        return {};
    std::string s = ClipPoly.Name + " :";
    AppendInt(s, ClipPoly.Count);
    s += " nodes, Area : ";
    AppendReal(s, ClipPoly.Area, 8, 2);
    s += " m2, Perimeter: ";
    AppendReal(s, ClipPoly.Perimeter, 8, 2);
    s += " m";
    return s;
}

// ---- clipping ------------------------------------------------------------------------------

namespace {

// The legs of a polygon laid out for testing a million points: the arithmetic of
// InsidePolyGon, behind a bounding-box reject that gives the same answer outside the box.
// Inside it the heights are cut into slabs at the node heights; every leg covers whole slabs,
// so a point is tested only against the legs of its slab, in any order (the parity is the
// same). A polygon whose slabs would hold too many legs keeps one list of all of them.
class TPreparedPolygon {
public:
    explicit TPreparedPolygon(const TPoints& pts) {
        const std::size_t n = pts.size();
        if (n == 0)
            return;
        minX_ = maxX_ = pts[0].X;
        minY_ = maxY_ = pts[0].Y;
        for (std::size_t i = 0; i < n; ++i) {
            const TScreenPoint& a = pts[i];
            const TScreenPoint& b = pts[(i + 1) % n];
            minX_ = std::min(minX_, a.X);
            maxX_ = std::max(maxX_, a.X);
            minY_ = std::min(minY_, a.Y);
            maxY_ = std::max(maxY_, a.Y);
            if (a.Y == b.Y)
                continue; // a level leg never counts
            legs_.push_back({std::min(a.Y, b.Y), std::max(a.Y, b.Y), std::min(a.X, b.X),
                             std::max(a.X, b.X), a.X, a.Y, static_cast<long long>(b.X) - a.X,
                             static_cast<double>(static_cast<long long>(b.Y) - a.Y)});
        }
        BuildSlabs();
    }

    bool Inside(const TScreenPoint& p) const {
        // Left of every leg, right of or on the largest X, above the smallest or on or below
        // the largest Y: never an odd number of crossings.
        if (legs_.empty() || p.X < minX_ || p.X >= maxX_ || p.Y < minY_ || p.Y >= maxY_)
            return false;
        if (slabbed_ && (p.Y < ys_.front() || p.Y >= ys_.back()))
            return false;
        if (!rowStart_.empty()) {
            const std::size_t r =
                static_cast<std::size_t>(static_cast<long long>(p.Y) - ys_.front());
            const double* x = rowX_.data() + rowStart_[r];
            const double* end = rowX_.data() + rowStart_[r + 1];
            unsigned crossings = 0;
            for (; x != end; ++x)
                crossings += p.X < *x;
            return crossings & 1u;
        }
        const std::size_t* first = nullptr;
        const std::size_t* last = nullptr;
        if (slabbed_) {
            const std::size_t k = SlabOf(p.Y);
            first = slabLegs_.data() + slabStart_[k];
            last = slabLegs_.data() + slabStart_[k + 1];
        }
        bool inside = false;
        if (first) {
            for (const std::size_t* l = first; l != last; ++l)
                inside ^= Crosses(legs_[*l], p);
        } else {
            for (const TLeg& l : legs_)
                if (p.Y >= l.Low && p.Y < l.High)
                    inside ^= Crosses(l, p);
        }
        return inside;
    }

private:
    struct TLeg {
        std::int32_t Low, High;   // the heights the leg covers: Low .. High - 1
        std::int32_t Left, Right; // its smallest and largest X
        std::int32_t X0, Y0;      // its first node
        long long Dx;
        double Dy;
    };

    // The crossing lies between the leg's ends, rounding included, so only a point between
    // them needs the division.
    static bool Crosses(const TLeg& l, const TScreenPoint& p) {
        if (p.X < l.Left)
            return true;
        if (p.X >= l.Right)
            return false;
        return p.X < CrossingX(l, p.Y);
    }
    static double CrossingX(const TLeg& l, std::int32_t y) {
        const __int128 num = static_cast<__int128>(l.Dx) * (static_cast<long long>(y) - l.Y0);
        return l.X0 + static_cast<double>(num) / l.Dy;
    }

    std::size_t SlabOf(std::int32_t y) const {
        if (!rowSlab_.empty())
            return rowSlab_[static_cast<std::size_t>(static_cast<long long>(y) - ys_.front())];
        return static_cast<std::size_t>(std::upper_bound(ys_.begin(), ys_.end(), y) - ys_.begin()) -
               1;
    }

    void BuildSlabs() {
        if (legs_.empty())
            return;
        for (const TLeg& l : legs_) {
            ys_.push_back(l.Low);
            ys_.push_back(l.High);
        }
        std::sort(ys_.begin(), ys_.end());
        ys_.erase(std::unique(ys_.begin(), ys_.end()), ys_.end());
        auto index = [this](std::int32_t y) {
            return static_cast<std::size_t>(std::lower_bound(ys_.begin(), ys_.end(), y) -
                                            ys_.begin());
        };
        const std::size_t slabs = ys_.size() - 1;
        std::vector<std::size_t> count(slabs + 1, 0);
        std::size_t total = 0;
        for (const TLeg& l : legs_)
            total += index(l.High) - index(l.Low);
        if (total > 64 * legs_.size() + 4096)
            return; // a comb of tall legs: slabs would cost more than they save
        for (const TLeg& l : legs_)
            for (std::size_t k = index(l.Low); k < index(l.High); ++k)
                ++count[k + 1];
        slabStart_.assign(slabs + 1, 0);
        for (std::size_t k = 0; k < slabs; ++k)
            slabStart_[k + 1] = slabStart_[k] + count[k + 1];
        slabLegs_.resize(total);
        std::vector<std::size_t> fill(slabStart_.begin(), slabStart_.end() - 1);
        for (std::size_t i = 0; i < legs_.size(); ++i)
            for (std::size_t k = index(legs_[i].Low); k < index(legs_[i].High); ++k)
                slabLegs_[fill[k]++] = i;
        // A picture-sized polygon gets a slab per pixel row; a huge one a binary search.
        const long long height = static_cast<long long>(ys_.back()) - ys_.front();
        if (height <= 65536) {
            rowSlab_.resize(static_cast<std::size_t>(height));
            std::size_t k = 0;
            for (long long r = 0; r < height; ++r) {
                while (ys_[k + 1] <= ys_.front() + r)
                    ++k;
                rowSlab_[static_cast<std::size_t>(r)] = static_cast<std::uint32_t>(k);
            }
        }
        slabbed_ = true;
        BuildRows();
    }

    // Where the picture is not too tall, the crossings of every pixel row are worked out
    // once; a point then only counts those right of it.
    void BuildRows() {
        if (rowSlab_.empty())
            return;
        std::size_t crossings = 0;
        for (std::size_t r = 0; r < rowSlab_.size(); ++r)
            crossings += slabStart_[rowSlab_[r] + 1] - slabStart_[rowSlab_[r]];
        if (crossings > kMaxRowCrossings)
            return;
        rowStart_.reserve(rowSlab_.size() + 1);
        rowX_.reserve(crossings);
        rowStart_.push_back(0);
        for (std::size_t r = 0; r < rowSlab_.size(); ++r) {
            const std::int32_t y =
                static_cast<std::int32_t>(ys_.front() + static_cast<long long>(r));
            const std::size_t k = rowSlab_[r];
            for (std::size_t i = slabStart_[k]; i < slabStart_[k + 1]; ++i)
                rowX_.push_back(CrossingX(legs_[slabLegs_[i]], y));
            rowStart_.push_back(rowX_.size());
        }
    }
    static constexpr std::size_t kMaxRowCrossings = 1 << 20;

    std::vector<TLeg> legs_;
    std::int32_t minX_ = 0, maxX_ = 0, minY_ = 0, maxY_ = 0;
    bool slabbed_ = false;
    std::vector<std::int32_t> ys_;       // the distinct heights of the legs' ends
    std::vector<std::size_t> slabStart_; // slab k's legs: slabLegs_[start k .. start k+1)
    std::vector<std::size_t> slabLegs_;
    std::vector<std::uint32_t> rowSlab_; // slab of each pixel row from the lowest height
    std::vector<std::size_t> rowStart_;  // row r's crossings: rowX_[start r .. start r+1)
    std::vector<double> rowX_;
};

} // namespace

void SettPolyClppingToCave(TKviste& cave, const TPolyGon& poly, int mode) {
    const TPoints pts(poly.Pts.begin(), poly.Pts.begin() + static_cast<std::ptrdiff_t>(Used(poly)));
    const TPreparedPolygon prepared(pts);
    const std::size_t last = std::min(static_cast<std::size_t>(std::max(cave.LineCount, 0)),
                                      cave.Lines.empty() ? 0 : cave.Lines.size() - 1);
    const bool outsideMode = mode == kClipOutside;
    for (std::size_t i = 1; i <= last; ++i) {
        Tdatalinje& line = cave.Lines[i];
        const bool visible = prepared.Inside(line.ScreenPos) == outsideMode; // inside <> mode
        if (line.Visible != visible) // a line left as it was is not written back to memory
            line.Visible = visible;
    }
}

void ResetClipping(TKviste& cave) {
    const std::size_t last = std::min(static_cast<std::size_t>(std::max(cave.LineCount, 0)),
                                      cave.Lines.empty() ? 0 : cave.Lines.size() - 1);
    for (std::size_t i = 1; i <= last; ++i)
        cave.Lines[i].Visible = true;
}

bool PrintableClipPolygon(const TClipPolyInteraction& clip, TWPoints& nodes, bool& closed) {
    nodes.clear();
    closed = false;
    if (!clip.Printable || !clip.ClipPoly.Loaded)
        return false;
    const TPolyGon& g = clip.ClipPoly;
    const std::size_t n = std::min(static_cast<std::size_t>(std::max(g.Count, 0)), g.WPts.size());
    nodes.assign(g.WPts.begin(), g.WPts.begin() + static_cast<std::ptrdiff_t>(n));
    closed = g.Closed;
    return true;
}

void PlotClipPolygon(const TClipPolyInteraction& clip, TPlotWorldSink& sink) {
    TWPoints nodes;
    bool closed = false;
    if (!PrintableClipPolygon(clip, nodes, closed) || nodes.size() < 2)
        return;
    sink.PenUp(nodes[0].X, nodes[0].Y);
    for (const TWPoint& w : nodes)
        sink.PenDown(w.X, w.Y);
    if (closed)
        sink.PenDown(nodes[0].X, nodes[0].Y);
}
