// The profile window's polygon editing, kept apart from painting and from the widgets.
#include "profile/CadInteraction.h"

#include <algorithm>
#include <cstdlib>

void TCadInteraction::DrawNode(TPlotCanvas& c, std::int32_t x, std::int32_t y) const {
    TKeepPen keep(c);
    c.SetPen({kCadNodePen, kPenSolid, 1});
    c.SetBrush({kCadNodeFill, true});
    c.Rectangle(x - 2, y - 2, x + 2, y + 2);
}

void TCadInteraction::DrawSelNode(TPlotCanvas& c, std::int32_t x, std::int32_t y) const {
    TKeepPen keep(c);
    c.SetPen({kCadNodePen, kPenSolid, 1});
    c.SetBrush({kCadSelFill, true});
    c.Rectangle(x - 4, y - 4, x + 4, y + 4);
}

void TCadInteraction::DrawLeg(TPlotCanvas& c, TScreenPoint a, TScreenPoint b) const {
    TKeepPen keep(c);
    c.SetPen({kCadLegPen, kPenSolid, 1});
    c.MoveTo(a.X, a.Y);
    c.LineTo(b.X, b.Y);
}

void TCadInteraction::DrawPolygon(TPlotCanvas& c) const {
    const std::int32_t n =
        std::min<std::int32_t>(CadPoly.Count, static_cast<std::int32_t>(CadPoly.Pts.size()));
    if (n <= 1)
        return;
    TKeepPen keep(c);
    const TPlotPen pen{kCadLegPen, kPenSolid, PolyDrag ? kCadDragWidth : 1};
    c.SetPen(pen);
    c.MoveTo(CadPoly.Pts[0].X, CadPoly.Pts[0].Y);
    // Node 0 starts the path; its leg to itself would draw nothing.
    for (std::int32_t i = 0; i < n; ++i) {
        const TScreenPoint p = CadPoly.Pts[static_cast<std::size_t>(i)];
        if (i > 0) {
            c.SetPen(pen);
            c.LineTo(p.X, p.Y);
        }
        DrawNode(c, p.X, p.Y);
        c.MoveTo(p.X, p.Y);
    }
    if (CadPoly.Closed) {
        c.SetPen(pen);
        c.LineTo(CadPoly.Pts[0].X, CadPoly.Pts[0].Y);
    }
}

void TCadInteraction::PolygonToWorld() {
    const std::int32_t n =
        std::min<std::int32_t>(CadPoly.Count, static_cast<std::int32_t>(CadPoly.Pts.size()));
    if (n <= 0)
        return;
    CadPoly.WPts.resize(static_cast<std::size_t>(n));
    for (std::int32_t i = 0; i < n; ++i) {
        const TScreenPoint p = CadPoly.Pts[static_cast<std::size_t>(i)];
        TWPoint& w = CadPoly.WPts[static_cast<std::size_t>(i)];
        ScreenToWorld(Map, p.X, p.Y, w.X, w.Y);
    }
}

void TCadInteraction::PolyToScreen() {
    const std::int32_t n = CadPoly.Count;
    if (n <= 0)
        return;
    if (static_cast<std::int32_t>(CadPoly.WPts.size()) < n)
        CadPoly.WPts.resize(static_cast<std::size_t>(n));
    CadPoly.Pts.resize(static_cast<std::size_t>(n));
    for (std::int32_t i = 0; i < n; ++i) {
        const TWPoint& w = CadPoly.WPts[static_cast<std::size_t>(i)];
        CadPoly.Pts[static_cast<std::size_t>(i)] = WorldToScreen(Map, w.X, w.Y);
    }
}

void TCadInteraction::WorldBeforeSave() {
    // Node edits change only the screen nodes: converting always keeps them from being lost.
    PolygonToWorld();
    UpdatePolyGon(CadPoly);
}

std::uint8_t TCadInteraction::HitTest(TScreenPoint p) {
    if (CadPoly.Count == 0)
        return kCadHitNone;
    bool hit = false;
    const std::int32_t n =
        std::min<std::int32_t>(CadPoly.Count, static_cast<std::int32_t>(CadPoly.Pts.size()));
    for (std::int32_t i = 0; i < n; ++i) {
        if (NearNode(p, CadPoly.Pts[static_cast<std::size_t>(i)])) {
            hit = true;
            HitIndex = i;
        }
    }
    if (!hit)
        HitIndex = 0;
    DragPoint = n > 0 ? CadPoly.Pts[static_cast<std::size_t>(HitIndex)] : TScreenPoint{};
    NodeDrag = hit;
    NodeHit = hit;
    if (hit)
        return kCadHitNode;
    return NearPolyGon(p.X, p.Y, CadPoly) ? kCadHitLeg : kCadHitNone;
}

TCadReply TCadInteraction::LeftPress(TPlotCanvas& c, TScreenPoint p) {
    TCadReply r;
    NodeHit = false;
    PolyDrag = false;
    LastClick = p;
    if (EditNodeMode) {
        HitKind = HitTest(p);
        if (HitKind == kCadHitNode) {
            const TScreenPoint q = CadPoly.Pts[static_cast<std::size_t>(HitIndex)];
            DrawNode(c, q.X, q.Y);
            DrawSelNode(c, q.X, q.Y);
        } else if (HitKind == kCadHitLeg) {
            r.DragCursor = true;
            DrawPolygon(c);
            PolyDrag = true;
            DrawPolygon(c);
            LastMove = p;
        }
    }
    if (DrawMode) {
        CadPoly.Pts.resize(static_cast<std::size_t>(std::max(CadPoly.Count, 0)));
        CadPoly.Pts.push_back(p);
        ++CadPoly.Count;
        DrawNode(c, p.X, p.Y);
        if (CadPoly.Count > 1)
            DrawLeg(c, CadPoly.Pts[static_cast<std::size_t>(CadPoly.Count - 2)], p);
    }
    if (ZoomMode == 1) {
        Zoom1 = p;
        Zoom2 = p;
        ZoomDragging = true;
        r.ZoomBoxChanged = true;
    }
    return r;
}

void TCadInteraction::Neighbours(std::int32_t& a, std::int32_t& b) const {
    const std::int32_t n = CadPoly.Count;
    if (HitIndex == n - 1) {
        a = 0;
        b = n - 2;
    } else if (HitIndex == 0) {
        a = n - 1;
        b = 1;
    } else {
        a = HitIndex - 1;
        b = HitIndex + 1;
    }
    a = std::clamp(a, 0, std::max(n - 1, 0));
    b = std::clamp(b, 0, std::max(n - 1, 0));
}

TCadReply TCadInteraction::PointerMove(TPlotCanvas& c, TScreenPoint p, bool leftHeld) {
    TCadReply r;
    if (NodeDrag && HitIndex < static_cast<std::int32_t>(CadPoly.Pts.size())) {
        std::int32_t a = 0, b = 0;
        Neighbours(a, b);
        const TScreenPoint na = CadPoly.Pts[static_cast<std::size_t>(a)];
        const TScreenPoint nb = CadPoly.Pts[static_cast<std::size_t>(b)];
        DrawLeg(c, DragPoint, na);
        DrawLeg(c, DragPoint, nb);
        DrawSelNode(c, DragPoint.X, DragPoint.Y);
        DrawLeg(c, p, na);
        DrawLeg(c, p, nb);
        DrawSelNode(c, p.X, p.Y);
        DragPoint = p;
    }
    if (PolyDrag) {
        DrawPolygon(c);
        MovePolyGon(p.X - LastMove.X, p.Y - LastMove.Y, CadPoly);
        DrawPolygon(c);
        LastMove = p;
        Stale = false;
    }
    if (ZoomMode == 1 && ZoomDragging && leftHeld) {
        Zoom2 = p;
        r.ZoomBoxChanged = true;
    }
    return r;
}

TCadReply TCadInteraction::LeftRelease(TPlotCanvas& c, TScreenPoint p) {
    TCadReply r;
    if (EditNodeMode && NodeDrag && HitIndex < static_cast<std::int32_t>(CadPoly.Pts.size())) {
        DrawSelNode(c, DragPoint.X, DragPoint.Y);
        DrawNode(c, DragPoint.X, DragPoint.Y);
        NodeDrag = false;
        CadPoly.Pts[static_cast<std::size_t>(HitIndex)] = DragPoint;
    }
    if (PolyDrag) {
        DrawPolygon(c);
        PolyDrag = false;
        DrawPolygon(c);
        r.DefaultCursor = true;
    }
    if (ZoomMode == 1 && ZoomDragging) {
        Zoom2 = p;
        ZoomDragging = false;
        r.ZoomBoxChanged = true;
        // A box dragged up or to the left is ignored.
        r.ZoomDone = Zoom2.X > Zoom1.X && Zoom2.Y > Zoom1.Y;
        if (!r.ZoomDone)
            ZoomCollapse();
    }
    return r;
}

TCadPopup TCadInteraction::RightPress(TScreenPoint p) {
    LastClick = p;
    if (!EditNodeMode)
        return TCadPopup::Draw;
    HitKind = HitTest(p);
    return HitKind != kCadHitNone ? TCadPopup::Edit : TCadPopup::None;
}

std::vector<TAntPixel> TCadInteraction::ZoomBoxPixels() const {
    std::vector<TAntPixel> out;
    if (Zoom1 == Zoom2)
        return out;
    std::uint8_t pattern = AntsPhase;
    auto walk = [&](TScreenPoint a, TScreenPoint b) {
        const std::int32_t dx = b.X > a.X ? 1 : (b.X < a.X ? -1 : 0);
        const std::int32_t dy = b.Y > a.Y ? 1 : (b.Y < a.Y ? -1 : 0);
        TScreenPoint q = a;
        while (!(q == b)) {
            pattern = static_cast<std::uint8_t>(pattern << 1);
            if (pattern == 0)
                pattern = 1;
            out.push_back({q.X, q.Y, pattern < 32});
            q.X += dx;
            q.Y += dy;
        }
    };
    const TScreenPoint c2{Zoom2.X, Zoom1.Y}, c4{Zoom1.X, Zoom2.Y};
    walk(Zoom1, c2);
    walk(c2, Zoom2);
    walk(Zoom2, c4);
    walk(c4, Zoom1);
    return out;
}

void TCadInteraction::AntsTick() {
    AntsPhase = static_cast<std::uint8_t>(AntsPhase >> 2);
    if (AntsPhase == 0)
        AntsPhase = 128;
}

void TCadInteraction::StartPolygon() {
    DrawMode = true;
    CadPoly.Closed = false;
}

void TCadInteraction::FinishPolygon(TPlotCanvas& c) {
    if (CadPoly.Count > 1)
        DrawLeg(c, CadPoly.Pts[static_cast<std::size_t>(CadPoly.Count - 1)], CadPoly.Pts[0]);
    DrawMode = false;
    CadPoly.Closed = true;
    PolygonToWorld();
    UpdatePolyGon(CadPoly);
}

void TCadInteraction::DeletePolygon(TPlotCanvas& c) {
    if (CadPoly.Count > 0)
        DrawPolygon(c);
    ClearPolyGon(CadPoly);
    NodeDrag = false;
    PolyDrag = false;
}

void TCadInteraction::DeleteAll() {
    if (CadPoly.Count > 0) {
        CadPoly.Pts.clear();
        CadPoly.Count = 0;
    }
    NodeDrag = false;
    PolyDrag = false;
}

void TCadInteraction::DeleteNodeCmd(TPlotCanvas& c) {
    if (HitKind != kCadHitNode || CadPoly.Pts.size() <= 2)
        return;
    DrawPolygon(c);
    DeleteNode(HitIndex, CadPoly);
    NodeDrag = false;
    DrawPolygon(c);
}

// Insert and break act on the leg under the last press, never on a node hit there.
void TCadInteraction::AtLastClick(TPlotCanvas& c,
                                  void (*edit)(std::int32_t, std::int32_t, TPolyGon&)) {
    if (NodeHit || CadPoly.Pts.size() <= 1)
        return;
    DrawPolygon(c);
    edit(LastClick.X, LastClick.Y, CadPoly);
    DrawPolygon(c);
}

void TCadInteraction::InsertNodeCmd(TPlotCanvas& c) {
    AtLastClick(c, InsertNode);
}

void TCadInteraction::BreakLegCmd(TPlotCanvas& c) {
    AtLastClick(c, BreakLeg);
}

void TCadInteraction::FlipCmd(TPlotCanvas& c) {
    DrawPolygon(c);
    if (static_cast<std::int32_t>(CadPoly.WPts.size()) != CadPoly.Count)
        PolygonToWorld();
    FlipPolyGon(CadPoly);
    PolyToScreen();
    DrawPolygon(c);
}

void TCadInteraction::RedoPolygon(TPlotCanvas& c) {
    if (CadPoly.Count <= 0 || CadPoly.WPts.empty())
        return;
    if (!Stale)
        DrawPolygon(c);
    PolyToScreen();
    DrawPolygon(c);
    Stale = false;
}

void TCadInteraction::ResetPolygon() {
    ClearPolyGon(CadPoly);
    CadPoly.Closed = false;
    CadPoly.Loaded = false;
    EditNodeMode = false;
    NodeDrag = false;
    PolyDrag = false;
}
