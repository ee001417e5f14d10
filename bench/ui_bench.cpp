// Speed of the main window's commands as the user meets them, on the headless
// platform with the platform fakes: from the click (or key) to the changed
// boxes painted. Inputs: a Chinese WML page of 1 MiB in UTF-8 (many short
// lines); a page of Chinese text without a line break whose result is one
// line of 1 Mi units of character references; and a minified page, the same
// WML on one line, of 1 and 10 MiB. For the minified pages the driver
// morvane-convert of the same build converts the same page, so its time
// stands beside the window's in the same run. Memory: "rss_MiB" is the
// resident size after the case, "peak_rss_MiB" the process's peak so far (run
// one case per process with --benchmark_filter for a peak of its own). See
// bench/README.md for measured values.

#include "fake_platform.h"
#include "ui/main/control_index.h"
#include "ui/main/frm_main.h"
#include "ui/text_box.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>

extern char** environ;

namespace {

using morvane::ui::FrmMain;
using morvane::ui::TextBox;

constexpr qsizetype kMiB = 1024 * 1024;

/// A Chinese WML page of at least `bytes` bytes in UTF-8, CR LF lines.
QString ChinesePage(qsizetype bytes) {
    const QString head = QStringLiteral("<?xml version=\"1.0\" encoding=\"gb2312\"?>\r\n<wml>\r\n");
    const QString card =
        QStringLiteral("<card id=\"news\" title=\"今日新闻\">\r\n"
                       "\t<p align=\"center\"><b>今日要闻 &amp; 天气预报</b><br/></p>\r\n"
                       "<p>本市明天晴转多云，最高气温25度，最低气温16度。北风三到四级。<br/>\r\n"
                       "<a href=\"news.wml?id=1024&amp;page=2\">经济新闻</a> | <a "
                       "href=\"sport.wml\">体育快讯</a><br/>\r\n"
                       "市政府今天召开新闻发布会，介绍了城市交通建设的最新进展。<br/></p>\r\n"
                       "</card>\r\n");
    const qsizetype cardBytes = card.toUtf8().size();
    QString page = head;
    for (qsizetype size = head.toUtf8().size(); size < bytes; size += cardBytes) {
        page += card;
    }
    return page + QStringLiteral("</wml>\r\n");
}

/// The same page minified: one line, no tabs, about `bytes` bytes of UTF-8.
QString OneLinePage(qsizetype bytes) {
    QString page = ChinesePage(bytes);
    page.remove(QStringLiteral("\r\n"));
    page.remove(QLatin1Char('\t'));
    return page;
}

/// Chinese characters without a break: the result is one line of references.
QString OneLineOfCharacters(qsizetype resultUnits) {
    const QString cycle = QStringLiteral("中文网页代码转换");
    QString text;
    const qsizetype characters = resultUnits / 8; // "&#x4E2D;" is eight units
    text.reserve(characters);
    while (text.size() < characters) {
        text += cycle.at(text.size() % cycle.size());
    }
    return text;
}

double ResidentMiB() {
    long pages = 0;
    long resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) {
            resident = 0;
        }
        std::fclose(f);
    }
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / kMiB;
}

double PeakResidentMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void ReportMemory(benchmark::State& state) {
    state.counters["rss_MiB"] = ResidentMiB();
    state.counters["peak_rss_MiB"] = PeakResidentMiB();
}

/// One window for every run of a benchmark, with the input box filled.
class Window {
public:
    explicit Window(const QString& input)
        : m_window(std::make_unique<FrmMain>(m_fake.platform)) {
        m_window->show();
        (void)QTest::qWaitForWindowExposed(m_window.get());
        m_window->TxtTop1->SetText(input);
        QCoreApplication::processEvents();
    }

    FrmMain& operator*() const { return *m_window; }
    FrmMain* operator->() const { return m_window.get(); }

    /// Paint the visible part of the shown boxes.
    void Paint() {
        const morvane::ui::PanePair shown = m_window->ShownPair();
        shown.input->viewport()->repaint();
        shown.output->viewport()->repaint();
    }

    /// Click a command button, then paint the visible part of both boxes.
    void ClickAndPaint(int button = 0) {
        QTest::mouseClick(m_window->CmdButton[static_cast<std::size_t>(button)], Qt::LeftButton);
        Paint();
    }

    /// Tick or untick word wrap as the user does, then paint.
    void ToggleWordWrap() {
        QCheckBox* box = m_window->ChkChoose[morvane::ui::kWordWrap];
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
        Paint();
    }

    /// Back to an empty output box, outside the timed part.
    void ClearOutput() {
        m_window->TxtBottom1->SetText(QString());
        QCoreApplication::processEvents();
    }

    qsizetype OutputUnits() const { return m_window->TxtBottom1->Text().size(); }

private:
    morvane::fakes::FakePlatform m_fake;
    std::unique_ptr<FrmMain> m_window;
};

void RunClickToPaint(benchmark::State& state, const QString& input) {
    Window window(input);
    for (auto _ : state) {
        window.ClickAndPaint();
        state.PauseTiming();
        window.ClearOutput();
        state.ResumeTiming();
    }
    window.ClickAndPaint();
    state.counters["input_units"] = static_cast<double>(input.size());
    state.counters["output_units"] = static_cast<double>(window.OutputUnits());
    ReportMemory(state);
}

void BM_GbToUtfClick_Page1MiB(benchmark::State& state) {
    RunClickToPaint(state, ChinesePage(kMiB));
}

void BM_GbToUtfClick_OneLineResult1MiB(benchmark::State& state) {
    RunClickToPaint(state, OneLineOfCharacters(kMiB));
}

// The clear command on a window that shows a one-line result: the boxes go
// back to breaking lines between words without laying the old line out again.
void BM_ClearClick_AfterOneLineResult1MiB(benchmark::State& state) {
    Window window(OneLineOfCharacters(kMiB));
    for (auto _ : state) {
        state.PauseTiming();
        window.ClickAndPaint(0);
        state.ResumeTiming();
        window.ClickAndPaint(5);
    }
}

// A minified page of state.range(0) MiB converted by the GB2312-to-UTF-8
// button, from the click to the painted result.
void BM_GbToUtfClick_OneLinePage(benchmark::State& state) {
    RunClickToPaint(state, OneLinePage(state.range(0) * kMiB));
}

// The driver on the same minified page, file in, output thrown away: the
// whole process, start-up included. Its CPU time and peak memory come from
// the kernel's account of the child.
void BM_Driver_GbToUtf_OneLinePage(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("page.wml"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)) {
            state.SkipWithError("cannot write the page");
            return;
        }
        file.write(OneLinePage(state.range(0) * kMiB).toUtf8());
    }
    const std::string binary = MORVANE_CONVERT_PATH;
    const std::string file = path.toStdString();
    const char* argv[] = {binary.c_str(), "--gb-to-utf", "--from-charset",
                          "UTF-8",        file.c_str(),  nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    double cpu = 0;
    long peakKiB = 0;
    for (auto _ : state) {
        pid_t pid = 0;
        if (posix_spawn(&pid, binary.c_str(), &actions, nullptr, const_cast<char**>(argv),
                        environ) != 0) {
            state.SkipWithError("cannot start the driver");
            break;
        }
        int status = 0;
        rusage usage{};
        wait4(pid, &status, 0, &usage);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("the driver failed");
            break;
        }
        cpu += static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
               static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
        peakKiB = std::max(peakKiB, usage.ru_maxrss);
    }
    posix_spawn_file_actions_destroy(&actions);
    state.counters["child_cpu_ms"] =
        benchmark::Counter(cpu * 1000, benchmark::Counter::kAvgIterations);
    state.counters["child_peak_rss_MiB"] = static_cast<double>(peakKiB) / 1024.0;
}

// Word wrap ticked off or on (state.range(0): 0 off, 1 on) with a converted
// 1 MiB minified page in the boxes: the texts handed over to the other pane
// pair, painted. The other direction runs untimed in between.
void BM_WordWrapToggle_OneLinePage1MiB(benchmark::State& state) {
    Window window(OneLinePage(kMiB));
    window.ClickAndPaint(0);
    const bool timedOn = state.range(0) == 1;
    for (auto _ : state) {
        state.PauseTiming();
        if (timedOn) {
            window.ToggleWordWrap(); // off, untimed
        }
        state.ResumeTiming();
        window.ToggleWordWrap();
        if (!timedOn) {
            state.PauseTiming();
            window.ToggleWordWrap(); // on again, untimed
            state.ResumeTiming();
        }
    }
    ReportMemory(state);
}

// Converts the window's page and gives the focus to one box of the shown pair:
// state.range(0) 0 the input box, 1 the output box; state.range(1) 1 the
// wrapping pair, 0 the non-wrapping pair.
TextBox* ConvertedAndFocused(Window& window, const benchmark::State& state) {
    window.ClickAndPaint(0);
    if (state.range(1) == 0) {
        window.ToggleWordWrap();
    }
    const morvane::ui::PanePair shown = window->ShownPair();
    TextBox* box = state.range(0) == 0 ? shown.input : shown.output;
    box->setFocus();
    return box;
}

// One key typed in a box of the shown pair holding a converted 1 MiB minified
// page, painted. state.range(0): 0 input box, 1 output box; state.range(1):
// 1 wrapping pair, 0 non-wrapping pair. The key goes in at the start of the
// line and is taken out again, untimed.
void BM_Keystroke_OneLinePage1MiB(benchmark::State& state) {
    Window window(OneLinePage(kMiB));
    TextBox* box = ConvertedAndFocused(window, state);
    box->moveCursor(QTextCursor::Start);
    QCoreApplication::processEvents();
    for (auto _ : state) {
        QTest::keyClick(box, Qt::Key_A);
        box->viewport()->repaint();
        state.PauseTiming();
        QTest::keyClick(box, Qt::Key_Backspace);
        box->viewport()->repaint();
        state.ResumeTiming();
    }
    ReportMemory(state);
}

// A repaint of a box as the blinking cursor asks for one, same boxes as above.
void BM_Repaint_OneLinePage1MiB(benchmark::State& state) {
    Window window(OneLinePage(kMiB));
    TextBox* box = ConvertedAndFocused(window, state);
    for (auto _ : state) {
        box->viewport()->repaint();
    }
}

BENCHMARK(BM_GbToUtfClick_Page1MiB)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_GbToUtfClick_OneLineResult1MiB)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_ClearClick_AfterOneLineResult1MiB)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_Driver_GbToUtf_OneLinePage)
    ->Arg(1)
    ->Arg(10)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);
BENCHMARK(BM_GbToUtfClick_OneLinePage)
    ->Arg(1)
    ->Arg(10)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(BM_WordWrapToggle_OneLinePage1MiB)
    ->ArgName("on")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(BM_Keystroke_OneLinePage1MiB)
    ->ArgNames({"output", "wrap"})
    ->Args({0, 1})
    ->Args({1, 1})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK(BM_Repaint_OneLinePage1MiB)
    ->ArgNames({"output", "wrap"})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
