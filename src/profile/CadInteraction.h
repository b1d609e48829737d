// The profile window's polygon: its modes, hit test, drags, box zoom and exclusive-or figures.
#pragma once

#include "plot/PlotCanvas.h"
#include "profile/Polygon2D.h"
#include "profile/ProfileCore.h"

#include <cstdint>
#include <vector>

inline constexpr std::uint32_t kCadNodePen = 0x000000FF;  // red
inline constexpr std::uint32_t kCadNodeFill = 0x00000000; // black
inline constexpr std::uint32_t kCadSelFill = 0x0000FFFF;  // yellow
inline constexpr std::uint32_t kCadLegPen = 0x00FFFF00;   // aqua
inline constexpr std::int32_t kCadDragWidth = 3;

enum : std::uint8_t { kCadHitNone = 0, kCadHitNode = 1, kCadHitLeg = 2 };

// Which pop-up menu a right press opens.
enum class TCadPopup { None, Draw, Edit };

struct TCadReply {
    bool DragCursor = false;    // the polygon follows the pointer
    bool DefaultCursor = false; // its move has ended
    bool ZoomBoxChanged = false;
    bool ZoomDone = false; // the window shows the box's world rectangle (then ZoomCollapse)
};

struct TAntPixel {
    std::int32_t X = 0, Y = 0;
    bool Black = false; // else the window colour
};

// Every polygon figure is drawn on an exclusive-or canvas, so drawing it again erases it; each
// change follows one pattern: draw (erasing), change the nodes, draw again.
class TCadInteraction {
public:
    TPolyGon CadPoly;
    TCadMapping Map;
    bool DrawMode = false;
    bool EditNodeMode = false;
    std::int32_t ZoomMode = 0; // 1: box zoom
    TScreenPoint Zoom1, Zoom2; // corners of the zoom box
    std::uint8_t AntsPhase = 128;
    bool ZoomDragging = false;
    std::uint8_t HitKind = kCadHitNone;
    std::int32_t HitIndex = 0;
    bool NodeDrag = false;
    TScreenPoint DragPoint;
    bool PolyDrag = false;
    TScreenPoint LastMove;
    TScreenPoint LastClick;
    bool NodeHit = false; // the last press hit a node
    bool Stale = false;   // the polygon image on screen belongs to another line

    void DrawNode(TPlotCanvas& c, std::int32_t x, std::int32_t y) const;
    void DrawSelNode(TPlotCanvas& c, std::int32_t x, std::int32_t y) const;
    void DrawLeg(TPlotCanvas& c, TScreenPoint a, TScreenPoint b) const;
    void DrawPolygon(TPlotCanvas& c) const;

    void PolygonToWorld();
    void PolyToScreen();
    // World nodes from the screen nodes unless they are in step already by count.
    void WorldBeforeSave();
    std::uint8_t HitTest(TScreenPoint p);

    TCadReply LeftPress(TPlotCanvas& c, TScreenPoint p);
    TCadReply PointerMove(TPlotCanvas& c, TScreenPoint p, bool leftHeld);
    TCadReply LeftRelease(TPlotCanvas& c, TScreenPoint p);
    TCadPopup RightPress(TScreenPoint p);
    void ZoomCollapse() { Zoom2 = Zoom1; }
    bool ZoomRectEmpty() const { return Zoom2.X - Zoom1.X < 1 || Zoom2.Y - Zoom1.Y < 1; }
    // The box's border, pixel by pixel, dashed from AntsPhase.
    std::vector<TAntPixel> ZoomBoxPixels() const;
    void AntsTick();

    void StartPolygon();
    void FinishPolygon(TPlotCanvas& c);
    void DeletePolygon(TPlotCanvas& c);
    void DeleteAll(); // the caller repaints the grid
    void DeleteNodeCmd(TPlotCanvas& c);
    void InsertNodeCmd(TPlotCanvas& c);
    void BreakLegCmd(TPlotCanvas& c);
    void FlipCmd(TPlotCanvas& c);
    void RedoPolygon(TPlotCanvas& c);
    void ResetPolygon();

private:
    void AtLastClick(TPlotCanvas& c, void (*edit)(std::int32_t, std::int32_t, TPolyGon&));
    void Neighbours(std::int32_t& a, std::int32_t& b) const;
};
