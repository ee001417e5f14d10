// Speed of the four engine functions on a realistic Chinese WML page and on
// inputs built to defeat a per-ampersand or per-reference approach. Figures
// are UTF-16 input bytes per second; see bench/README.md for measured values.

#include "engine/engine.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {

using morvane::engine::Ascii;
using morvane::engine::ConvertGbToUtf;
using morvane::engine::ConvertUtfToGb;
using morvane::engine::UtfToGb;

constexpr std::size_t kMiB = 1024 * 1024;

// One card of a news page: markup, Chinese text, CR LF line ends, a few tabs
// and ampersands.
constexpr std::u16string_view kPageHead =
    u"<?xml version=\"1.0\" encoding=\"gb2312\"?>\r\n"
    u"<!DOCTYPE wml PUBLIC \"-//WAPFORUM//DTD WML 1.1//EN\" "
    u"\"http://www.wapforum.org/DTD/wml_1.1.xml\">\r\n"
    u"<wml>\r\n"
    u"<head><meta http-equiv=\"Cache-Control\" content=\"max-age=0\"/></head>\r\n";

constexpr std::u16string_view kPageCard =
    u"<card id=\"news\" title=\"\u4ECA\u65E5\u65B0\u95FB\">\r\n"
    u"\t<p align=\"center\"><b>\u4ECA\u65E5\u8981\u95FB &amp; \u5929\u6C14\u9884\u62A5</b>"
    u"<br/></p>\r\n"
    u"<p>\u672C\u5E02\u660E\u5929\u6674\u8F6C\u591A\u4E91\uFF0C\u6700\u9AD8\u6C14\u6E29"
    u"25\u5EA6\uFF0C\u6700\u4F4E\u6C14\u6E2916\u5EA6\u3002\u5317\u98CE\u4E09\u5230\u56DB"
    u"\u7EA7\u3002<br/>\r\n"
    u"<a href=\"news.wml?id=1024&amp;page=2\">\u7ECF\u6D4E\u65B0\u95FB</a> | "
    u"<a href=\"sport.wml\">\u4F53\u80B2\u5FEB\u8BAF</a><br/>\r\n"
    u"\u5E02\u653F\u5E9C\u4ECA\u5929\u53EC\u5F00\u65B0\u95FB\u53D1\u5E03\u4F1A\uFF0C"
    u"\u4ECB\u7ECD\u4E86\u57CE\u5E02\u4EA4\u901A\u5EFA\u8BBE\u7684\u6700\u65B0\u8FDB"
    u"\u5C55\u3002<br/>\r\n"
    u"<a href=\"#top\">\u8FD4\u56DE\u9996\u9875</a> &lt;WAP&gt;</p>\r\n"
    u"\t<do type=\"prev\" label=\"\u8FD4\u56DE\"><prev/></do>\r\n"
    u"</card>\r\n";

constexpr std::u16string_view kPageTail = u"</wml>\r\n";

/// The page with as many cards as bring it to `bytes` of UTF-16.
std::u16string RealisticPage(std::size_t bytes) {
    const std::size_t units = bytes / sizeof(char16_t);
    std::u16string page(kPageHead);
    while (page.size() + kPageCard.size() + kPageTail.size() <= units) {
        page += kPageCard;
    }
    page += kPageTail;
    return page;
}

std::u16string Repeated(std::u16string_view piece, std::size_t units) {
    std::u16string text;
    text.reserve(units);
    while (text.size() + piece.size() <= units) {
        text += piece;
    }
    return text;
}

struct Input {
    std::string name;
    std::u16string text;
};

/// The inputs of one function: the page in the form that function reads, and
/// the adversarial texts. The decoding functions read the page's UTF-8 form.
std::vector<Input> Inputs(bool encodedPage) {
    const auto page = [&](std::size_t bytes) {
        std::u16string text = RealisticPage(bytes);
        return encodedPage ? ConvertGbToUtf(text) : text;
    };
    const std::size_t units = 10 * kMiB / sizeof(char16_t);
    std::u16string noAmpersand = RealisticPage(10 * kMiB);
    std::erase(noAmpersand, u'&');
    return {
        {"page_1MiB", page(kMiB)},
        {"page_10MiB", page(10 * kMiB)},
        {"ampersands_one_semicolon_10MiB", Repeated(u"&", units - 1) + u";"},
        {"unterminated_decimal_10MiB", Repeated(u"&#1", units)},
        {"dense_references_10MiB", Repeated(u"&#x4E2D;", units)},
        {"no_ampersand_10MiB", std::move(noAmpersand)},
    };
}

void Register(const char* function, std::u16string (*run)(std::u16string_view), bool encodedPage) {
    for (Input& input : Inputs(encodedPage)) {
        const std::string name = std::string(function) + "/" + input.name;
        benchmark::RegisterBenchmark(name.c_str(), [run, text = std::move(input.text)](
                                                       benchmark::State& state) {
            for (auto _ : state) {
                std::u16string result = run(text);
                benchmark::DoNotOptimize(result.data());
                benchmark::ClobberMemory();
            }
            state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                                    static_cast<std::int64_t>(text.size() * sizeof(char16_t)));
            state.counters["input_MiB"] = static_cast<double>(text.size() * 2) / kMiB;
        })->Unit(benchmark::kMillisecond);
    }
}

} // namespace

/// How the C library hands out the results' memory. Results of several MiB
/// are above glibc's mmap threshold, which it moves by itself: a result under
/// 32 MiB soon reuses freed memory, a larger one gets fresh pages, and the
/// kernel's zeroing of them then costs more than the conversion. Fixing the
/// threshold makes every input pay the same way. By default freed memory is
/// reused (the engine's own work is measured); with --fresh_pages every result
/// gets fresh pages (the cost of a single conversion in a new process).
void ChooseMemoryMode(int& argc, char** argv) {
    bool fresh = false;
    for (int k = 1; k < argc; ++k) {
        if (std::strcmp(argv[k], "--fresh_pages") == 0) {
            fresh = true;
            for (int m = k; m + 1 < argc; ++m) {
                argv[m] = argv[m + 1];
            }
            --argc;
            break;
        }
    }
#if defined(__GLIBC__)
    constexpr int kLarge = 1 << 30;
    mallopt(M_MMAP_THRESHOLD, fresh ? 1 << 20 : kLarge);
    mallopt(M_TRIM_THRESHOLD, fresh ? 1 << 20 : kLarge);
#endif
    benchmark::AddCustomContext("memory",
                                fresh ? "fresh pages for every result" : "freed memory reused");
}

int main(int argc, char** argv) {
    ChooseMemoryMode(argc, argv);
    Register("Ascii", &Ascii, false);
    Register("ConvertGbToUtf", &ConvertGbToUtf, false);
    Register("UtfToGb", &UtfToGb, true);
    Register("ConvertUtfToGb", &ConvertUtfToGb, true);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
