// Torvik against the simulated reader: start-up to the first painted main
// window (settings, loading and binding the library, the window and its
// page, the connection and its message box, the first paint), and a card
// switch (the old page destroyed, the new one created, shown and painted).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include "pages/page_registry.h"
#include "shell/card_view.h"
#include "shell/main_window.h"
#include "shell/torvik_app.h"
#include "support/message_boxes.h"
#include "support/sim_server.h"

namespace {

// Notes the first paint of any widget of the main window.
class PaintProbe : public QObject {
public:
    PaintProbe() { qApp->installEventFilter(this); }
    ~PaintProbe() override { qApp->removeEventFilter(this); }
    void arm(QWidget* target) {
        target_ = target;
        painted_ = false;
    }
    // Runs the event loop until the target has painted.
    bool wait() {
        QElapsedTimer timer;
        timer.start();
        while (!painted_ && timer.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        return painted_;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && target_ && watched->isWidgetType() &&
            (watched == target_ || target_->isAncestorOf(static_cast<QWidget*>(watched))))
            painted_ = true;
        return false;
    }

private:
    QWidget* target_ = nullptr;
    bool painted_ = false;
};

StartOptions options() {
    StartOptions start;
    start.programDir = QStringLiteral(KOVALINK_OUT_DIR);
    return start;
}

void BM_TorvikStartup(benchmark::State& state) {
    torviktest::MessageBoxes boxes;
    PaintProbe probe;
    for (auto _ : state) {
        TorvikApp app(options());
        // The first widget to paint is the main window's: watch them all
        // from the start.
        probe.arm(nullptr);
        const bool started = app.start();
        if (!started) {
            state.SkipWithError("torvik did not start");
            break;
        }
        probe.arm(app.mainWindow());
        if (!probe.wait()) {
            state.SkipWithError("the main window did not paint");
            break;
        }
        state.PauseTiming();
        app.exit();
        state.ResumeTiming();
    }
}

void BM_TorvikCardSwitch(benchmark::State& state) {
    torviktest::MessageBoxes boxes;
    PaintProbe probe;
    TorvikApp app(options());
    if (!app.start()) {
        state.SkipWithError("torvik did not start");
        return;
    }
    probe.arm(app.mainWindow());
    probe.wait();
    for (auto _ : state) {
        // Round all fifteen card types.
        app.mainWindow()->selectCard((app.state().curCard + 1) % kCardTypeCount);
        probe.arm(app.mainWindow()->view()->page());
        if (!probe.wait()) {
            state.SkipWithError("the page did not paint");
            break;
        }
    }
}

}  // namespace

BENCHMARK(BM_TorvikStartup)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_TorvikCardSwitch)->Unit(benchmark::kMillisecond)->Iterations(150);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    QApplication application(argc, argv);
    kvtest::SimServer sim;
    std::string why;
    if (!sim.start(&why) || !sim.place("mifare1k", &why)) {
        std::fprintf(stderr, "torvik_bench: simulated reader: %s\n", why.c_str());
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
