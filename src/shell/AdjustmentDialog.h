// The standard deviations of the least-squares adjustment, and the command that runs it.
#pragma once

#include "reduction/NetworkAdjustment.h"

#include <QDialog>

#include <functional>
#include <optional>

class QDialogButtonBox;
class QDoubleSpinBox;

class TAdjustmentDialog : public QDialog {
    Q_OBJECT
public:
    explicit TAdjustmentDialog(const TAdjustmentSettings& initial, QWidget* parent = nullptr);
    TAdjustmentSettings Settings() const;

    // Shown modally; a test installs an answerer that fills the dialog and says OK (true) or
    // Cancel instead, so no test blocks on it. nullptr restores the modal dialog.
    using Answerer = std::function<bool(TAdjustmentDialog&)>;
    static void SetAnswerer(Answerer answerer);
    static std::optional<TAdjustmentSettings> Ask(QWidget* parent,
                                                  const TAdjustmentSettings& initial);

    QDoubleSpinBox* SdTapeSpinEdit = nullptr;
    QDoubleSpinBox* SdCompassSpinEdit = nullptr;
    QDoubleSpinBox* SdClinoSpinEdit = nullptr;
    QDialogButtonBox* ButtonBox = nullptr;

private:
    TAdjustmentSettings initial_;
};

// The settings of this run of the program, kept from one adjustment to the next.
TAdjustmentSettings& AdjustmentSettings();

// Asks for the standard deviations, adjusts the loaded cave, moves its stations, writes the
// listings again and the ".lsq" report. False when cancelled or when nothing was moved; every
// failure is told through Dialogs().
bool RunLeastSquaresAdjustment(QWidget* parent);
