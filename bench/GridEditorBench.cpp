// The grid editor on a generated 1,000,000-shot survey: showing the grid and writing it back.
#include "SurveyGenerator.h"

#include "model/ProgramState.h"
#include "model/SurveyReader.h"
#include "model/TextClock.h"
#include "shell/FormEditor.h"
#include "shell/GridEditorModel.h"
#include "ui/UserDialogs.h"

#include <QApplication>
#include <QPixmap>
#include <QTableView>

#include <benchmark/benchmark.h>

#include <memory>
#include <stdexcept>
#include <string>

namespace {

constexpr std::int64_t kShots = 1'000'000;

// The survey read into the program's cave once, and one editor window over it.
class TBenchEditor {
public:
    TBenchEditor() {
        TGeneratorOptions o;
        o.Shots = kShots;
        o.Seed = 2024;
        std::string log;
        const TReadResult r = ReadSurveyText(GenerateSurvey(o), "gen.grt", Cave, HeaderLine2,
                                             FixedClock("09.12.2026 12:00:00"), log);
        if (!r.Ok || Cave.LineCount != kShots)
            throw std::runtime_error("generated survey did not read: " + r.Reason);
        CurrentFile = "gen.grt";
        DataLoaded = true;
        SetDialogs(&dialogs_);
        Editor = std::make_unique<TFormEditor>();
        Editor->resize(900, 700);
    }
    ~TBenchEditor() { SetDialogs(nullptr); }

    std::unique_ptr<TFormEditor> Editor;

private:
    ScriptedDialogs dialogs_;
};

// Made on first use and gone before the application is: a window outliving it would crash.
std::unique_ptr<TBenchEditor> bench;

TBenchEditor& Bench() {
    if (!bench)
        bench = std::make_unique<TBenchEditor>();
    return *bench;
}

// Showing fills the grid; the grab paints every visible cell.
void ShowGrid(benchmark::State& state) {
    TFormEditor& editor = *Bench().Editor;
    for (auto _ : state) {
        state.PauseTiming();
        editor.hide();
        QApplication::processEvents();
        state.ResumeTiming();
        editor.show();
        const QPixmap shown = editor.grab();
        benchmark::DoNotOptimize(shown.cacheKey());
    }
    if (editor.RowCount() != kShots + 1)
        state.SkipWithError("the grid has no row for every line");
}
BENCHMARK(ShowGrid)->Name("ShowGrid/1000000")->Iterations(5)->Unit(benchmark::kMillisecond);

// "&Update" of the whole grid, nothing typed.
void UpdateUntouched(benchmark::State& state) {
    TFormEditor& editor = *Bench().Editor;
    editor.show();
    for (auto _ : state)
        editor.Update1Click();
}
BENCHMARK(UpdateUntouched)
    ->Name("UpdateUntouched/1000000")
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

// "&Update" after a length was typed into every one of the million rows.
void UpdateEveryRowTyped(benchmark::State& state) {
    TFormEditor& editor = *Bench().Editor;
    editor.show();
    QAbstractItemModel* model = editor.StringGrid1->model();
    int pass = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString typed = (++pass % 2) != 0 ? QStringLiteral("5.5") : QStringLiteral("6.5");
        for (int row = 0; row < kShots; ++row)
            model->setData(model->index(row, kColLength), typed);
        if (editor.Model->Edits().Size() != static_cast<std::size_t>(kShots)) {
            state.SkipWithError("not every row was typed into");
            break;
        }
        state.ResumeTiming();
        editor.Update1Click();
    }
    if (!editor.Model->Edits().Empty())
        state.SkipWithError("typed cells were left over");
}
BENCHMARK(UpdateEveryRowTyped)
    ->Name("UpdateEveryRowTyped/1000000")
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    bench.reset();
    benchmark::Shutdown();
    return 0;
}
