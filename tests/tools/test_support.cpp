#include "test_support.h"

#include <gtest/gtest.h>

#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iconv.h>
#include <iterator>
#include <random>
#include <sstream>
#if !defined(_WIN32)
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace morvane::tools::test {
namespace {

constexpr const char* kNativeUtf16 =
    std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

std::string IconvAll(std::string_view bytes, const char* to, const char* from) {
    const iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(static_cast<std::intptr_t>(-1))) {
        ADD_FAILURE() << "iconv cannot convert " << from << " to " << to;
        return {};
    }
    std::string out(bytes.size() * 4 + 32, '\0');
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) ||
        iconv(cd, nullptr, nullptr, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) {
        ADD_FAILURE() << "iconv " << from << " to " << to << " failed: " << errno;
    }
    iconv_close(cd);
    out.resize(static_cast<std::size_t>(outPtr - out.data()));
    return out;
}

#if !defined(_WIN32)
// Child side of RunConvert and RunProgram: never returns.
[[noreturn]] void ExecChild(const std::string& program, const std::vector<std::string>& args,
                            const std::string& inPath, int outFd, const std::string& errPath) {
    const int in = open(inPath.c_str(), O_RDONLY);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (in < 0 || err < 0 || dup2(in, STDIN_FILENO) < 0 || dup2(outFd, STDOUT_FILENO) < 0 ||
        dup2(err, STDERR_FILENO) < 0) {
        _exit(126);
    }
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    execvp(program.c_str(), argv.data());
    _exit(127);
}

RunResult RunChild(const std::string& program, const std::vector<std::string>& args,
                   std::string_view input, OutputTarget target) {
    const ScratchDir dir;
    const std::string inPath = dir.Write("stdin", input);
    const std::string outPath = (dir.Path() / "stdout").string();
    const std::string errPath = (dir.Path() / "stderr").string();

    int outFd = -1;
    switch (target) {
    case OutputTarget::Capture:
        outFd = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        break;
    case OutputTarget::DevFull:
        outFd = open("/dev/full", O_WRONLY | O_CLOEXEC);
        break;
    case OutputTarget::ClosedPipe: {
        int ends[2];
        if (pipe2(ends, O_CLOEXEC) == 0) {
            close(ends[0]); // no reader will ever exist
            outFd = ends[1];
        }
        break;
    }
    }
    RunResult result;
    if (outFd < 0) {
        ADD_FAILURE() << "cannot set up the child's standard output";
        return result;
    }
    const pid_t pid = fork();
    if (pid == 0) {
        ExecChild(program, args, inPath, outFd, errPath);
    }
    close(outFd);
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid) {
        ADD_FAILURE() << "cannot run " << program;
        return result;
    }
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    if (target == OutputTarget::Capture) {
        result.out = ReadFileBytes(outPath);
    }
    result.err = ReadFileBytes(errPath);
    return result;
}

#endif
} // namespace

// The driver runs as a child process on Linux only; on Windows the tests call its parts.
#if !defined(_WIN32)
RunResult RunConvert(const std::vector<std::string>& args, std::string_view input,
                     OutputTarget target) {
    return RunChild(MORVANE_CONVERT_PATH, args, input, target);
}

RunResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                     std::string_view input) {
    return RunChild(program, args, input, OutputTarget::Capture);
}

std::string PythonDecode(std::string_view bytes, const std::string& codec) {
    const RunResult run =
        RunProgram(MORVANE_PYTHON,
                   {"-c",
                    "import sys; b = sys.stdin.buffer.read(); "
                    "sys.stdout.buffer.write(b.decode(sys.argv[1]).encode('utf-8'))",
                    codec},
                   bytes);
    EXPECT_EQ(run.status, 0) << "python3 cannot read the bytes as " << codec << ": " << run.err;
    return run.out;
}

std::string XmllintErrors(std::string_view bytes) {
    const RunResult run = RunProgram("xmllint", {"--noout", "-"}, bytes);
    return run.status == 0 ? std::string() : "xmllint: " + run.err;
}

#endif

ScratchDir::ScratchDir() {
#if defined(_WIN32)
    // No mkdtemp: a random name, made only where nothing has it.
    std::random_device random;
    std::error_code error;
    do {
        m_path =
            std::filesystem::temp_directory_path() / ("morvane-tools-" + std::to_string(random()));
    } while (!std::filesystem::create_directory(m_path, error) && !error);
    if (error) {
        ADD_FAILURE() << "cannot create a scratch directory";
    }
#else
    std::string pattern = (std::filesystem::temp_directory_path() / "morvane-tools-XXXXXX");
    if (mkdtemp(pattern.data()) == nullptr) {
        ADD_FAILURE() << "cannot create a scratch directory";
    }
    m_path = pattern;
#endif
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::string ScratchDir::Write(const std::string& name, std::string_view bytes) const {
    const std::string path = (m_path / name).string();
    std::ofstream file(path, std::ios::binary);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file) {
        ADD_FAILURE() << "cannot write " << path;
    }
    return path;
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        ADD_FAILURE() << "cannot read " << path;
        return {};
    }
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::u16string ToUtf16(std::string_view bytes, const std::string& charset) {
    const std::string raw = IconvAll(bytes, kNativeUtf16, charset.c_str());
    std::u16string text(raw.size() / 2, u'\0');
    std::copy(raw.begin(), raw.begin() + static_cast<std::ptrdiff_t>(text.size() * 2),
              reinterpret_cast<char*>(text.data()));
    return text;
}

std::string FromUtf16(std::u16string_view text, const std::string& charset) {
    return IconvAll(std::string_view(reinterpret_cast<const char*>(text.data()), text.size() * 2),
                    charset.c_str(), kNativeUtf16);
}

std::optional<std::size_t> IconvStop(std::string_view bytes, const std::string& charset) {
    const iconv_t cd = iconv_open(kNativeUtf16, charset.c_str());
    std::string out(bytes.size() * 4 + 32, '\0');
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    const bool failed = iconv(cd, &in, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1);
    iconv_close(cd);
    if (!failed) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(in - bytes.data());
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        lines.push_back(line);
    }
    return lines;
}

} // namespace morvane::tools::test
