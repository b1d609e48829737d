// The text views on the listings of a large survey: opening one view, "Open all", and a page of
// scrolling. The survey is generated and processed once per size, outside the timings.
#include "BenchSupport.h"

#include "SurveyGenerator.h"
#include "model/ProgramState.h"
#include "shell/ChildForm.h"
#include "shell/MainForm.h"
#include "shell/TextLinesView.h"
#include "ui/UserDialogs.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

ScriptedDialogs gDialogs;

// One processed survey of the given size and the main window that read it.
struct TProcessedSurvey {
    BenchDir Dir;
    std::unique_ptr<TMainForm> Form;
    QString DataFile;
    QString Listing; // the cartesian listing, the largest
};

// The program's globals hold one survey at a time, so the benchmarks run size by size and the
// survey of the previous size is dropped.
TProcessedSurvey& Survey(std::int64_t shots) {
    static std::int64_t current = -1;
    static std::unique_ptr<TProcessedSurvey> survey;
    if (shots != current) {
        survey.reset();
        survey = std::make_unique<TProcessedSurvey>();
        current = shots;
        TGeneratorOptions options;
        options.Shots = shots;
        const std::string file = survey->Dir.File("big.grt");
        std::string reason;
        if (!WriteFileAtomically(file, GenerateSurvey(options), reason, false))
            std::abort();
        survey->DataFile = QString::fromStdString(file);
        survey->Listing = QString::fromStdString(survey->Dir.File("big.krt"));
        survey->Form = std::make_unique<TMainForm>();
        survey->Form->resize(1200, 800);
        survey->Form->show();
        survey->Form->ProcessFile(survey->DataFile);
        if (!Processed)
            std::abort();
    }
    return *survey;
}

// Loading the file and painting the first screen of it.
void BM_OpenListingView(benchmark::State& state) {
    TProcessedSurvey& survey = Survey(state.range(0));
    for (auto _ : state) {
        TChildForm view;
        view.resize(435, 300);
        view.LoadTextTitled(survey.Listing, "Cartesian data");
        benchmark::DoNotOptimize(view.Memo1->grab());
    }
}

// "Open all" in the main window until every view has shown.
void BM_OpenAll(benchmark::State& state) {
    TProcessedSurvey& survey = Survey(state.range(0));
    TMainForm& form = *survey.Form;
    for (auto _ : state) {
        form.OpenAllPropBtnClick();
        QApplication::processEvents();
        for (QMdiSubWindow* sub : form.MdiArea->subWindowList())
            benchmark::DoNotOptimize(sub->grab());
    }
    form.CloseAllClick();
    QApplication::processEvents();
}

// One page down deep inside the listing, painted.
void BM_ScrollPage(benchmark::State& state) {
    TProcessedSurvey& survey = Survey(state.range(0));
    TChildForm view;
    view.resize(435, 600);
    view.LoadTextTitled(survey.Listing, "Cartesian data");
    QScrollBar* bar = view.Memo1->verticalScrollBar();
    bar->setValue(bar->maximum() / 2);
    for (auto _ : state) {
        bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
        benchmark::DoNotOptimize(view.Memo1->grab());
    }
}

} // namespace

BENCHMARK(BM_OpenListingView)->Arg(200'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenAll)->Arg(200'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenListingView)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenAll)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScrollPage)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SetDialogs(&gDialogs);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
