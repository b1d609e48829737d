#include "shell/AdjustmentDialog.h"

#include "model/ProgramState.h"
#include "model/TextClock.h"
#include "reduction/AdjustmentReport.h"
#include "reduction/ReductionState.h"
#include "ui/UserDialogs.h"
#include "ui/WindowSupport.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

TAdjustmentDialog::Answerer& CurrentAnswerer() {
    static TAdjustmentDialog::Answerer answerer;
    return answerer;
}

QDoubleSpinBox* SpinEdit(const char* name, double most, int decimals, const QString& suffix,
                         double value) {
    auto* spin = new QDoubleSpinBox;
    spin->setObjectName(name);
    spin->setRange(0, most);
    spin->setDecimals(decimals);
    spin->setSingleStep(decimals >= 3 ? 0.01 : 0.1);
    spin->setSuffix(suffix);
    spin->setValue(value);
    return spin;
}

} // namespace

TAdjustmentDialog::TAdjustmentDialog(const TAdjustmentSettings& initial, QWidget* parent)
    : QDialog(parent), initial_(initial) {
    setObjectName("AdjustmentDialog");
    setWindowTitle("Least Squares Adjustment");
    SdTapeSpinEdit = SpinEdit("SdTapeSpinEdit", 10, 3, " m", initial.SdTape);
    SdCompassSpinEdit = SpinEdit("SdCompassSpinEdit", 45, 2, " deg", initial.SdCompass);
    SdClinoSpinEdit = SpinEdit("SdClinoSpinEdit", 45, 2, " deg", initial.SdClino);
    auto* form = new QFormLayout;
    form->addRow("Tape:", SdTapeSpinEdit);
    form->addRow("Compass:", SdCompassSpinEdit);
    form->addRow("Clino:", SdClinoSpinEdit);
    ButtonBox = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    ButtonBox->setObjectName("ButtonBox");
    connect(ButtonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(ButtonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Standard deviations of the readings:"));
    layout->addLayout(form);
    layout->addWidget(ButtonBox);
}

TAdjustmentSettings TAdjustmentDialog::Settings() const {
    TAdjustmentSettings s = initial_;
    s.SdTape = SdTapeSpinEdit->value();
    s.SdCompass = SdCompassSpinEdit->value();
    s.SdClino = SdClinoSpinEdit->value();
    return s;
}

void TAdjustmentDialog::SetAnswerer(Answerer answerer) {
    CurrentAnswerer() = std::move(answerer);
}

std::optional<TAdjustmentSettings> TAdjustmentDialog::Ask(QWidget* parent,
                                                          const TAdjustmentSettings& initial) {
    TAdjustmentDialog dialog(initial, parent);
    const bool ok = CurrentAnswerer() ? CurrentAnswerer()(dialog) : dialog.exec() == Accepted;
    if (!ok)
        return std::nullopt;
    // Typed text that was not yet committed counts, as on OK in the dialog.
    for (QDoubleSpinBox* spin :
         {dialog.SdTapeSpinEdit, dialog.SdCompassSpinEdit, dialog.SdClinoSpinEdit})
        spin->interpretText();
    return dialog.Settings();
}

TAdjustmentSettings& AdjustmentSettings() {
    static TAdjustmentSettings settings;
    return settings;
}

bool RunLeastSquaresAdjustment(QWidget* parent) {
    if (!DataLoaded || !Processed)
        return false;
    const std::optional<TAdjustmentSettings> asked =
        TAdjustmentDialog::Ask(parent, AdjustmentSettings());
    if (!asked)
        return false;
    if (const std::string problem = CheckAdjustmentSettings(*asked); !problem.empty()) {
        Dialogs().Warning(QString::fromStdString(problem));
        return false;
    }
    AdjustmentSettings() = *asked;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const TAdjustmentRun run = RunAdjustment(Cave, Summary, *asked, CurrentFile, SystemClock());
    QApplication::restoreOverrideCursor();
    if (!run.Ok) {
        Dialogs().Warning("Least squares adjustment failed: " + DecodeWindows1252(run.Message));
        return false;
    }
    if (!run.WriteErrors.empty()) {
        QStringList lines;
        for (const std::string& e : run.WriteErrors)
            lines << DecodeWindows1252(e);
        Dialogs().Report("The stations were adjusted, but these files could not be written:",
                         lines);
    }
    return true;
}
