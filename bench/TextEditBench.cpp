// The text editor on a generated 65,535-shot survey: opening it, the comma check, and the
// line-edit window on the last line, whose instrument search walks the whole file, and tabs.
#include "BenchSupport.h"

#include "shell/TextEditForm1.h"
#include "shell/TextEditLogic.h"
#include "ui/UserDialogs.h"

#include "SurveyGenerator.h"

#include <QApplication>
#include <QPlainTextEdit>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr std::int64_t kShots = 65535;

struct Fixture {
    BenchDir Dir;
    QString File;
    ScriptedDialogs Dialogs;
    Fixture() {
        TGeneratorOptions options;
        options.Shots = kShots;
        const std::string text = GenerateSurvey(options);
        std::string reason;
        File = QString::fromStdString(Dir.File("big.grt"));
        if (!WriteFileAtomically(File.toStdString(), text, reason, false))
            std::abort();
        SetDialogs(&Dialogs);
    }
};

Fixture& Shared() {
    static Fixture fixture;
    return fixture;
}

void BM_OpenInEditor(benchmark::State& state) {
    Fixture& f = Shared();
    TTextEditForm1 form;
    for (auto _ : state) {
        if (!form.LoadDocument(f.File))
            state.SkipWithError("the survey could not be loaded");
        benchmark::DoNotOptimize(form.MemoLineCount());
    }
    state.counters["lines"] = static_cast<double>(form.MemoLineCount());
}

void BM_CommaCheck(benchmark::State& state) {
    Fixture& f = Shared();
    TTextEditForm1 form;
    form.LoadDocument(f.File);
    for (auto _ : state) {
        f.Dialogs.Clear();
        form.TypoButtonClick();
    }
    // Generated surveys hold no decimal commas: one box, the count.
    if (f.Dialogs.Asked.size() != 1)
        state.SkipWithError("the check asked more than the count");
}

void BM_LineEditorOnLastLine(benchmark::State& state) {
    Fixture& f = Shared();
    TTextEditForm1 form;
    form.LoadDocument(f.File);
    std::int64_t last = form.MemoLineCount() - 1;
    while (last > 0 && !IsDataLine(form.MemoLine(last)))
        --last;
    for (auto _ : state)
        form.LoadLineIntoEditor(last);
    state.counters["line"] = static_cast<double>(last);
}

// Showing another tab and back: the documents are swapped, not copied.
void BM_TabSwitch(benchmark::State& state) {
    Fixture& f = Shared();
    TTextEditForm1 form;
    form.LoadDocument(f.File);
    form.NewClick();
    for (auto _ : state) {
        form.TabSet1Change(1);
        form.TabSet1Change(0);
    }
}

} // namespace

BENCHMARK(BM_OpenInEditor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CommaCheck)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LineEditorOnLastLine)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TabSwitch)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    SetDialogs(nullptr);
    return 0;
}
