// The plot window's clip polygon: its menus, name box, file commands and exclusive-or painting.
#include "plot/KvisPlotForm1.h"

#include "model/FileIO.h"
#include "model/ProgramState.h"
#include "plot/ClipPolygonFile.h"
#include "plot/QtCanvas.h"
#include "ui/EscapeLineEdit.h"
#include "ui/UserDialogs.h"
#include "ui/WindowSupport.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>

void TKvisPlotForm1::BuildClipMenus(QMenu* clip) {
    ClippingPolygon1 = clip;
    auto add = [this](QMenu* menu, const char* name, const QString& text,
                      void (TKvisPlotForm1::*handler)(), bool checkable = false) {
        QAction* a = NewAction(name, text, handler, checkable);
        menu->addAction(a);
        return a;
    };
    add(clip, "DrawnewPolyGon1", "Draw (new) PolyGon", &TKvisPlotForm1::DrawnewPolyGon1Click, true);
    add(clip, "GetPolyGons1", "Get PolyGons", &TKvisPlotForm1::GetPolyGons1Click);
    add(clip, "SavePolygons1", "Save Polygons", &TKvisPlotForm1::SavePolygons1Click);
    add(clip, "HideshowPolyGons1", "Hide/show PolyGons", &TKvisPlotForm1::HideshowPolyGons1Click);
    add(clip, "DeletePolyGons1", "Delete PolyGon(s)", &TKvisPlotForm1::DeletePolyGons1Click);
    add(clip, "EditNode1", "Edit Node", &TKvisPlotForm1::EditNode1Click, true);
    connect(clip, &QMenu::aboutToShow, this, &TKvisPlotForm1::ClippingPolygon1Click);

    ClipPolyPopup1 = new QMenu(this);
    ClipPolyPopup1->setObjectName("ClipPolyPopup1");
    add(ClipPolyPopup1, "NewPolyGon1", "New PolyGon", &TKvisPlotForm1::NewPolyGon1Click);
    add(ClipPolyPopup1, "ClosepolyGon1", "Close polyGon", &TKvisPlotForm1::ClosepolyGon1Click);
    add(ClipPolyPopup1, "NameRenamePoly1", "Name/Rename Poly", &TKvisPlotForm1::NamePolyGon1Click);
    add(ClipPolyPopup1, "EditPolyGon1", "Edit PolyGon", &TKvisPlotForm1::EditPolyGon1Click);
    add(ClipPolyPopup1, "DeletePolyGon1", "Delete PolyGon", &TKvisPlotForm1::DeletePolyGon1Click);
    add(ClipPolyPopup1, "PolygonInfo1", "Polygon Info", &TKvisPlotForm1::PolygonInfo1Click);

    EditClipNodePopup1 = new QMenu(this);
    EditClipNodePopup1->setObjectName("EditClipNodePopup1");
    add(EditClipNodePopup1, "AddNode1", "Add Node", &TKvisPlotForm1::AddNode1Click);
    add(EditClipNodePopup1, "DeleteNode1", "Delete Node", &TKvisPlotForm1::DeleteNode1Click);
    add(EditClipNodePopup1, "DeletePolyGon2", "Delete PolyGon",
        &TKvisPlotForm1::DeletePolyGon2Click);
    add(EditClipNodePopup1, "NamePolyGon1", "Name PolyGon", &TKvisPlotForm1::NamePolyGon1Click);
    add(EditClipNodePopup1, "Printable1", "Printable", &TKvisPlotForm1::Printable1Click, true);
    add(EditClipNodePopup1, "EndEdit1", "End Edit", &TKvisPlotForm1::EndEdit1Click);

    ClipActionPopup1 = new QMenu(this);
    ClipActionPopup1->setObjectName("ClipActionPopup1");
    add(ClipActionPopup1, "ClipOutSide1", "Clip OutSide", &TKvisPlotForm1::ClipOutSide1Click);
    add(ClipActionPopup1, "ClipInside1", "Clip Inside", &TKvisPlotForm1::ClipInside1Click);
    add(ClipActionPopup1, "ResetClipping1", "Reset Clipping", &TKvisPlotForm1::ResetClipping1Click);

    auto* name = new TEscapeLineEdit(Surface);
    name->OnEscape = [this] { PolyNameEdit1Escape(); };
    PolyNameEdit1 = name;
    PolyNameEdit1->setObjectName("PolyNameEdit1");
    PolyNameEdit1->setFixedWidth(200);
    connect(PolyNameEdit1, &QLineEdit::returnPressed, this, &TKvisPlotForm1::PolyNameEdit1Enter);
    PolyNameEdit1->hide();
    UpdateClipActions();
}

QAction* TKvisPlotForm1::ClipAction(const char* name) const {
    return findChild<QAction*>(name);
}

void TKvisPlotForm1::UpdateClipActions() {
    const TClipPolyInteraction& c = Clip;
    for (const char* name : {"SavePolygons1", "HideshowPolyGons1", "DeletePolyGons1", "EditNode1"})
        ClipAction(name)->setEnabled(c.ClipMenuEnabled);
    ClipAction("DrawnewPolyGon1")->setChecked(c.ClipActive);
    ClipAction("EditNode1")->setChecked(c.EditMode);
    ClipAction("ClosepolyGon1")->setEnabled(!c.ClipPoly.Closed);
    ClipAction("EditPolyGon1")->setEnabled(c.ClipPoly.Closed);
    ClipAction("AddNode1")->setEnabled(c.HitKind == kHitEdge);
    ClipAction("DeleteNode1")->setEnabled(c.HitKind == kHitNode);
    ClipAction("DeletePolyGon2")->setEnabled(c.HitKind == kHitEdge);
    ClipAction("Printable1")->setChecked(c.Printable);
}

// ---- painting ------------------------------------------------------------------------------

void TKvisPlotForm1::ClipPaint(const std::function<void(TPlotCanvas&)>& figures) {
    QImage& image = Surface->Image;
    if (image.isNull())
        return;
    {
        QPainter painter(&image);
        painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        TQtCanvas canvas(painter);
        figures(canvas);
    }
    Surface->update();
}

void TKvisPlotForm1::ClipHideAll() {
    ClipPaint([this](TPlotCanvas& c) { Clip.HideAll(c); });
}

void TKvisPlotForm1::PlottClipPolyGoner() {
    ClipPaint([this](TPlotCanvas& c) { Clip.PlottClipPolyGoner(c, View, false); });
}

void TKvisPlotForm1::ApplyClipReply(const TClipReply& reply) {
    if (reply.DragCursor)
        Surface->setCursor(Qt::DragMoveCursor);
    if (reply.DefaultCursor)
        Surface->unsetCursor();
    if (reply.FullRedraw)
        PlottKviste();
}

// ---- mouse ---------------------------------------------------------------------------------

void TKvisPlotForm1::ClipLeftDown(QPoint pos) {
    if (!Clip.NewPolyMode && !Clip.EditMode)
        return;
    TClipReply reply;
    ClipPaint([&](TPlotCanvas& c) {
        reply = Clip.LeftPress(c, View, {pos.x(), pos.y()}, ClipDoubleClick);
    });
    ApplyClipReply(reply);
}

void TKvisPlotForm1::ClipMouseMove(QPoint pos) {
    const bool resizing = Clip.RectMode && Clip.CornerDrag;
    if (!Clip.NodeDrag && !Clip.PolyMove && !resizing)
        return;
    ClipPaint([&](TPlotCanvas& c) { Clip.PointerMove(c, View, {pos.x(), pos.y()}); });
}

void TKvisPlotForm1::ClipLeftUp() {
    if (!Clip.EditMode && !Clip.PolyMove)
        return;
    TClipReply reply;
    ClipPaint([&](TPlotCanvas& c) { reply = Clip.LeftRelease(c, View); });
    ApplyClipReply(reply);
}

void TKvisPlotForm1::ClipRightDown(bool stationMenuOpen) {
    QMenu* menu = nullptr;
    switch (Clip.RightPress(Interaction.LastDown)) {
    case TClipPopup::Poly:
        menu = ClipPolyPopup1;
        break;
    case TClipPopup::EditNode:
        menu = EditClipNodePopup1;
        break;
    case TClipPopup::Action:
        menu = ClipActionPopup1;
        break;
    case TClipPopup::None:
        return;
    }
    UpdateClipActions();
    const QPoint at = Surface->mapToGlobal(QPoint(Interaction.LastDown.X, Interaction.LastDown.Y));
    // One menu at a time: the clip menu follows once the station menu has closed.
    if (stationMenuOpen)
        connect(
            StationPopupMenu1, &QMenu::aboutToHide, this, [menu, at] { menu->popup(at); },
            static_cast<Qt::ConnectionType>(Qt::QueuedConnection | Qt::SingleShotConnection));
    else
        menu->popup(at);
}

// ---- menu commands -------------------------------------------------------------------------

void TKvisPlotForm1::ClippingPolygon1Click() {
    UpdateClipActions();
}

void TKvisPlotForm1::DrawnewPolyGon1Click() {
    Clip.DrawNewPolyGon();
    UpdateClipActions();
}

void TKvisPlotForm1::GetPolyGons1Click() {
    bool fault = false;
    const bool ok = GetClipPolyFile(&fault);
    if (fault)
        return; // the message is shown; the polygon and the modes stay as they were
    if (ok)
        Clip.ClipActive = !Clip.ClipActive;
    else
        Clip.ClipPoly.Name = "New poly";
    Clip.ClipMenuEnabled = true;
    Clip.Printable = false;
    Clip.EditMode = true;
    UpdateClipActions();
    PlottKviste();
}

void TKvisPlotForm1::SavePolygons1Click() {
    SaveClipPolyFile();
}

void TKvisPlotForm1::HideshowPolyGons1Click() {
    ClipPaint([this](TPlotCanvas& c) { Clip.HideShow(c); });
}

void TKvisPlotForm1::DeletePolyGons1Click() {
    if (Dialogs().YesNo("Delete 1PolyGons!! Do you want to save first?", true) &&
        !SaveClipPolyFile())
        Dialogs().Warning("Saving failed- sorry");
    ClipPaint([this](TPlotCanvas& c) { Clip.DeletePolygon(c); });
    Clip.EditMode = false;
    Clip.HitKind = kHitNothing;
    Clip.ClipMenuEnabled = false;
    UpdateClipActions();
}

void TKvisPlotForm1::EditNode1Click() {
    Clip.EditMode = !Clip.EditMode;
    UpdateClipActions();
}

void TKvisPlotForm1::NewPolyGon1Click() {
    ClipPaint([this](TPlotCanvas& c) { Clip.NewPolyGon(c); });
    UpdateClipActions();
}

void TKvisPlotForm1::ClosepolyGon1Click() {
    ClipPaint([this](TPlotCanvas& c) { Clip.ClosePolyGon(c, View, Cave.StartPos.Z); });
    UpdateClipActions();
}

void TKvisPlotForm1::NamePolyGon1Click() {
    PolyNameEdit1->setText(DecodeWindows1252(Clip.ClipPoly.Name));
    PolyNameEdit1->move(Interaction.LastDown.X, Interaction.LastDown.Y);
    PolyNameEdit1->show();
    PolyNameEdit1->raise();
    PolyNameEdit1->setFocus();
}

void TKvisPlotForm1::PolyNameEdit1Enter() {
    PolyNameEdit1->hide();
    setFocus();
    Clip.ClipPoly.Name = EncodeWindows1252(PolyNameEdit1->text());
}

void TKvisPlotForm1::PolyNameEdit1Escape() {
    PolyNameEdit1->hide();
    setFocus();
}

void TKvisPlotForm1::EditPolyGon1Click() {
    Clip.EditPolyGon();
    UpdateClipActions();
}

void TKvisPlotForm1::DeletePolyGon1Click() {
    ClipPaint([this](TPlotCanvas& c) { Clip.HidePolygon(c); });
    if (Dialogs().YesNo("Save Polygon First?", true))
        SaveClipPolyFile();
    ClipPaint([this](TPlotCanvas& c) { Clip.DeletePolygon(c); });
    UpdateClipActions();
}

void TKvisPlotForm1::PolygonInfo1Click() {
    DisplayHint(Interaction.LastDown.X, Interaction.LastDown.Y, DecodeWindows1252(Clip.InfoText()));
    Interaction.HintShown = true;
}

void TKvisPlotForm1::AddNode1Click() {
    ClipPaint([this](TPlotCanvas& c) { Clip.AddNode(c, View, Interaction.LastDown); });
}

void TKvisPlotForm1::DeleteNode1Click() {
    ClipPaint([this](TPlotCanvas& c) { Clip.DeleteNodeCmd(c, View); });
}

void TKvisPlotForm1::DeletePolyGon2Click() {
    ClipPaint([this](TPlotCanvas& c) { Clip.DeletePolygon(c); });
    Clip.EditMode = false;
    Clip.ClipActive = false;
    UpdateClipActions();
}

void TKvisPlotForm1::Printable1Click() {
    Clip.Printable = !Clip.Printable;
    UpdateClipActions();
}

void TKvisPlotForm1::EndEdit1Click() {
    Clip.EditMode = !Clip.EditMode;
    UpdateClipActions();
}

void TKvisPlotForm1::ClipOutSide1Click() {
    SettPolyClppingToCave(kClipOutside);
}

void TKvisPlotForm1::ClipInside1Click() {
    SettPolyClppingToCave(kClipInside);
}

void TKvisPlotForm1::ResetClipping1Click() {
    ResetClipping(Cave);
    PlottKviste();
}

void TKvisPlotForm1::SettPolyClppingToCave(int mode) {
    ::SettPolyClppingToCave(Cave, Clip.ClipPoly, mode);
    PlottKviste();
}

// ---- file ----------------------------------------------------------------------------------

bool TKvisPlotForm1::GetClipPolyFile(bool* fault) {
    if (fault)
        *fault = false;
    const std::string name = ClipPolyFileName(CurrentFile);
    if (!FileExists(name))
        return false;
    const TClipFileResult r = ReadClipPolyFile(name, Clip.ClipPoly);
    if (!r.Ok) {
        Dialogs().Warning(FromFileName(name) + DecodeWindows1252(ClipFileMessage("", r)));
        if (fault)
            *fault = true;
        return false;
    }
    return true;
}

bool TKvisPlotForm1::SaveClipPolyFile() {
    const std::string name = ClipPolyFileName(CurrentFile);
    if (FileExists(name) &&
        !Dialogs().YesNo("File (" + FromFileName(name) + ") exists! OverWrite?", true))
        return false;
    const TClipFileResult r = WriteClipPolyFile(name, Clip.ClipPoly, Cave.CaveName);
    if (!r.Ok) {
        Dialogs().Warning(FromFileName(name) + DecodeWindows1252(ClipFileMessage("", r)));
        return false;
    }
    return true;
}
