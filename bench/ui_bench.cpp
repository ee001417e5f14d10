// Speed of the main window's GB2312-to-UTF-8 command as the user meets it:
// from the click on the button to the converted text painted in the output
// box, on the headless platform with the platform fakes. Two inputs: a
// Chinese WML page of 1 MiB in UTF-8 (many short lines), and a page of Chinese text without a
// line break whose result is one line of 1 Mi units of character references,
// which offers the layout no place to break between words; and the clear
// command after that one-line result. See
// bench/README.md for measured values.

#include "fake_platform.h"
#include "ui/main/frm_main.h"
#include "ui/text_box.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using morvane::ui::FrmMain;

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

    /// Click a command button, then paint the visible part of both boxes.
    void ClickAndPaint(int button = 0) {
        QTest::mouseClick(m_window->CmdButton[static_cast<std::size_t>(button)], Qt::LeftButton);
        m_window->TxtTop1->viewport()->repaint();
        m_window->TxtBottom1->viewport()->repaint();
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

BENCHMARK(BM_GbToUtfClick_Page1MiB)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_GbToUtfClick_OneLineResult1MiB)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_ClearClick_AfterOneLineResult1MiB)->Unit(benchmark::kMillisecond)->Iterations(10);

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
