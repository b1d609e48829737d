// The plot's clip polygon: its modes, hit test, drags and figures, and the clipping pass.
#pragma once

#include "model/CaveModel.h"
#include "plot/PlotCanvas.h"
#include "plot/ViewTransform.h"
#include "profile/Polygon2D.h"

#include <cstdint>
#include <string>

inline constexpr std::uint32_t kClipPolyColour = 0x00FFFF00;   // aqua
inline constexpr std::uint32_t kClipMovingColour = 0x000000FF; // red, while the polygon moves
inline constexpr std::int32_t kClipMovingWidth = 3;
inline constexpr std::uint32_t kClipHandleColour = 0x0000FF00; // lime
inline constexpr std::int32_t kNodeMarkerHalf = 2;
inline constexpr std::int32_t kPickMarkerHalf = 4;
inline constexpr std::int32_t kHandleHalf = 5;

enum : std::uint8_t { kHitNothing = 0, kHitNode = 1, kHitEdge = 2 };
// Modes of the clipping pass.
enum : int { kClipOutside = 0, kClipInside = 1 };

// Which pop-up menu a right press opens.
enum class TClipPopup { None, Poly, EditNode, Action };

// What a press, move or release asks of the window besides the figures already drawn.
struct TClipReply {
    bool FullRedraw = false;
    bool DragCursor = false;    // the polygon follows the pointer
    bool DefaultCursor = false; // the move has ended
};

// Every figure is drawn on a canvas in exclusive-or, so drawing it again erases it. Each
// figure keeps the points it was drawn with and is erased with exactly those, whatever has
// changed since; a picture that was cleared forgets them (PictureCleared).
class TClipPolyInteraction {
public:
    TPolyGon ClipPoly;
    bool ClipActive = false;      // right presses open the clip menus
    bool ClipMenuEnabled = false; // the items of the clip menu are enabled
    bool NewPolyMode = false;     // left presses append nodes
    bool EditMode = false;        // left presses pick nodes and edges
    bool RectMode = false;        // handles shown, the polygon can be resized
    bool PolyMove = false;        // the polygon follows the pointer
    bool Printable = false;       // the polygon goes to the plotter file
    std::uint8_t HitKind = kHitNothing;
    std::int32_t NodeIndex = 0;
    TScreenPoint DragPos;
    bool NodeDrag = false;
    std::int32_t CornerIndex = 0; // 1 .. 8 in the order of TPolyGon::Handles
    bool CornerDrag = false;
    TScreenPoint LastMove;

    // Screen nodes to world nodes through the view (Z kept), and back; both update the polygon.
    void ToWorldPoints(const TPlotView& view);
    void ToScreenPoints(const TPlotView& view);

    // Full redraw: screen nodes from the world nodes, then the polygon if it is loaded (or
    // being entered) and the handles in RectMode. cleared: the picture was cleared first.
    void PlottClipPolyGoner(TPlotCanvas& xorCanvas, const TPlotView& view, bool cleared);
    void PictureCleared();
    // Erases every figure that is shown (before a clear that may not reach all of them).
    void HideAll(TPlotCanvas& c);

    void ShowPolygon(TPlotCanvas& c);
    void HidePolygon(TPlotCanvas& c);
    bool PolygonShown() const { return polyShown_; }
    void ShowHandles(TPlotCanvas& c);
    void HideHandles(TPlotCanvas& c);
    bool HandlesShown() const { return handlesShown_; }

    // Mouse on the plot surface (pixels).
    TClipReply LeftPress(TPlotCanvas& c, const TPlotView& view, TScreenPoint p, bool doubleClick);
    TClipReply PointerMove(TPlotCanvas& c, const TPlotView& view, TScreenPoint p);
    TClipReply LeftRelease(TPlotCanvas& c, const TPlotView& view);
    TClipPopup RightPress(TScreenPoint p);
    // Node, then edge, then handle; a node hit starts a drag only when asked to.
    void HitTest(TScreenPoint p, bool startDrag);

    // Commands of the menus.
    void DrawNewPolyGon(); // toggles ClipActive
    // A finished polygon cannot be extended (it could not be closed again): a new one starts
    // empty in its place.
    void NewPolyGon(TPlotCanvas& c);
    // Three nodes or more close; fewer empty the polygon. Z of every node := z.
    void ClosePolyGon(TPlotCanvas& c, const TPlotView& view, double z);
    void EditPolyGon();
    void HideShow(TPlotCanvas& c);
    bool AddNode(TPlotCanvas& c, const TPlotView& view, TScreenPoint at);
    bool DeleteNodeCmd(TPlotCanvas& c, const TPlotView& view);
    void DeletePolygon(TPlotCanvas& c); // erase and clear; no drag or handles survive it

    // "Name :n nodes, Area : a m2, Perimeter: p m"; empty without nodes.
    std::string InfoText() const;

private:
    void DrawFigure(TPlotCanvas& c) const;
    void DrawPick(TPlotCanvas& c, TScreenPoint at) const;
    void StartPick(TPlotCanvas& c);
    void EndPick(TPlotCanvas& c);

    bool polyShown_ = false;
    TPoints shownPts_;
    bool shownClosed_ = false, shownMoving_ = false;
    bool handlesShown_ = false;
    TPolyGon shownHandles_; // Bounds and Handles as drawn
    bool pickShown_ = false;
    TScreenPoint pickAt_;
};

// The figures themselves, on any canvas (the window's is in exclusive-or).
void DrawClipPolygon(TPlotCanvas& c, const TPoints& pts, bool closed, bool moving);
void DrawNodeMarker(TPlotCanvas& c, TScreenPoint p);
void DrawPickMarker(TPlotCanvas& c, TScreenPoint p);
void DrawPolyGonRect(TPlotCanvas& c, const TPolyGon& g);

// Visible := (inside <> mode) for every line, inside being the polygon test of its ScreenPos.
void SettPolyClppingToCave(TKviste& cave, const TPolyGon& poly, int mode);
void ResetClipping(TKviste& cave);

// The clip polygon for the plotter file: false unless it is loaded and marked printable;
// otherwise its world nodes (Count of them) and whether it is closed.
bool PrintableClipPolygon(const TClipPolyInteraction& clip, TWPoints& nodes, bool& closed);
// The same as pen moves: up at the first node, down at every node, down at the first again
// when closed. Nothing when it is not printable.
void PlotClipPolygon(const TClipPolyInteraction& clip, TPlotWorldSink& sink);
