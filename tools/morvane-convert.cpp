// morvane-convert: the text-in, text-out driver over the conversion engine.
// It parses the command line and runs each page through ConvertPage into its
// destination: standard output for a single page, or a file replaced
// atomically under -o DIR or --in-place. A file that fails is reported by name
// and left as it was, and the next one goes on; --check then reads each result
// as XML. Exit status: 1 when any file failed, else 3 when --check found
// problems, else 0.

#include "tools/charset_names.h"
#include "tools/cli_options.h"
#include "tools/driver_error.h"
#include "tools/file_io.h"
#include "tools/messages.h"
#include "tools/output.h"
#include "tools/page.h"
#include "tools/path_text.h"
#include "tools/process.h"
#include "tools/xml_check.h"

#include <cstdio>
#include <filesystem>
#include <new>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace {

using namespace morvane::tools;

/// Exit status when --check found problems and no file failed.
constexpr int kExitCheckProblems = 3;

/// The charset an option names, classified once for the whole run.
std::optional<Charset> Classified(const std::string& option) {
    return option.empty() ? std::nullopt : std::optional(ClassifyCharset(option));
}

/// The loop over the files of one run.
class Run final {
public:
    explicit Run(const ConvertRequest& request)
        : m_request(request)
        , m_options{request.mode, Classified(request.fromCharset), Classified(request.toCharset)}
        , m_messages(request.files.size()) {}

    int All() {
        CheckPageOptions(m_options);
        if (m_request.destination == Destination::Folder) {
            std::error_code error;
            if (!std::filesystem::is_directory(PathOf(m_request.outputDir), error)) {
                Failure failure;
                failure.kind = FailureKind::OutputFolderMissing;
                failure.text = m_request.outputDir;
                throw DriverError(std::move(failure));
            }
        }
        if (m_request.destination == Destination::StandardOutput) {
            WidenOutputPipe();
        }
        for (std::size_t i = 0; i < m_request.files.size(); ++i) {
            m_messages.Progress(i, m_request.files[i]);
            One(m_request.files[i]);
        }
        if (m_request.destination == Destination::StandardOutput) {
            try {
                CloseOutput();
            } catch (const DriverError& error) {
                Fail(error.What(), m_request.files.front(), 0);
            }
        }
        for (const std::string& folder : m_folders) {
            SyncFolder(folder);
        }
        return m_failed ? kExitFailure : m_problems ? kExitCheckProblems : 0;
    }

private:
    void Note(const std::string& line) { m_messages.Error(line); }

    /// Converts one file into its destination; a failure is reported and counted.
    void One(const std::string& file) {
        std::string written; // kept for --check
        std::size_t toStandardOutput = 0;
        std::string checkedName = file;
        const auto note = [this](const std::string& line) { Note(line); };
        try {
            InputFile input(file);
            if (m_request.destination == Destination::StandardOutput) {
                ConvertPage(
                    input, file, m_options,
                    [&](std::string_view piece) {
                        if (m_request.check) {
                            written.append(piece);
                        }
                        toStandardOutput += piece.size();
                        try {
                            WriteOutput(piece);
                        } catch (const DriverError&) {
                            toStandardOutput = 0; // the write failure says it all
                            throw;
                        }
                    },
                    note);
            } else {
                const std::string target = Target(file);
                if (!m_targets.insert(target).second) {
                    Note(file + ": note: the same file as one converted before in this run; "
                                "converted once");
                    return;
                }
                Sweep(target);
                ReplacementFile output(target);
                ConvertPage(
                    input, file, m_options,
                    [&](std::string_view piece) {
                        if (m_request.check) {
                            written.append(piece);
                        }
                        output.Write(piece);
                    },
                    note);
                output.Commit(false); // the folder is synced once, at the end of the run
                if (m_request.destination == Destination::Folder) {
                    checkedName = target;
                }
            }
        } catch (const DriverError& error) {
            Fail(error.What(), file, toStandardOutput);
            return;
        } catch (const std::bad_alloc&) {
            Failure failure;
            failure.kind = FailureKind::OutOfMemory;
            Fail(std::move(failure), file, toStandardOutput);
            return;
        }
        if (m_request.check) {
            Check(checkedName, written);
        }
    }

    void Fail(Failure failure, const std::string& file, std::size_t toStandardOutput) {
        m_failed = true;
        // Every failure names its file ("-" for standard input), so that one among thousands
        // can be found, and a script can tell whose failure it is.
        if (failure.file.empty()) {
            failure.file = file;
        }
        const bool partWritten = failure.kind == FailureKind::OutOfMemoryPartWritten;
        // What was written to a target went to the temporary file, which is gone.
        failure.discarded = partWritten && m_request.destination != Destination::StandardOutput;
        m_messages.Error(FailureMessage(failure));
        if (toStandardOutput > 0 && !partWritten) {
            m_messages.Error(IncompleteOutputMessage(file));
        }
    }

    /// The file a page's result replaces: under -o DIR its name in DIR, in place the file
    /// itself, a symbolic link followed so that the link stays a link. A name in DIR that
    /// is the page itself (DIR is the page's own folder, or the name links to the page) is
    /// written as in place, so that a link there stays a link and its page is converted.
    std::string Target(const std::string& file) const {
        std::string named = file;
        if (m_request.destination == Destination::Folder) {
            named = NameOf(PathOf(m_request.outputDir) / PathOf(file).filename());
            std::error_code error;
            if (!std::filesystem::equivalent(PathOf(named), PathOf(file), error)) {
                return named;
            }
        }
        std::error_code error;
        const std::filesystem::path resolved = std::filesystem::canonical(PathOf(named), error);
        return error ? named : NameOf(resolved);
    }

    /// Removes, once per folder, what killed runs left in the target's folder.
    void Sweep(const std::string& target) {
        const std::filesystem::path parent = PathOf(target).parent_path();
        const std::string folder = parent.empty() ? "." : NameOf(parent);
        if (!m_folders.insert(folder).second) {
            return;
        }
        const Leftovers leftovers = SweepLeftovers(folder);
        if (leftovers.removed > 0) {
            Note(folder + ": note: removed " + std::to_string(leftovers.removed) +
                 " temporary file(s) left by a run that was stopped part-way");
        }
        for (const std::string& name : leftovers.unsure) {
            Note(NameOf(PathOf(folder) / PathOf(name)) +
                 ": note: left alone: named like a temporary file of this program, but not "
                 "shown to be one it left");
        }
    }

    void Check(const std::string& name, std::string_view bytes) {
        const XmlCheckResult result = CheckXml(bytes);
        for (const XmlProblem& problem : result.problems) {
            m_messages.Problem(name + ":" + std::to_string(problem.line) + ":" +
                               std::to_string(problem.column) + ": " + problem.message);
        }
        if (result.notShown > 0) {
            m_messages.Problem(name + ": " + std::to_string(result.notShown) +
                               " more problem(s) not shown");
        }
        m_problems = m_problems || !result.problems.empty();
    }

    const ConvertRequest& m_request;
    const PageOptions m_options;
    Messages m_messages;
    std::set<std::string> m_targets;
    std::set<std::string> m_folders;
    bool m_failed = false;
    bool m_problems = false;
};

int Main(std::span<const char* const> args) {
    const ParsedCommandLine parsed = ParseCommandLine(args);
    if (const auto* error = std::get_if<UsageError>(&parsed)) {
        PrintError(error->message);
        std::fputs("Try 'morvane-convert --help' for more information.\n", stderr);
        return kExitUsage;
    }
    if (std::holds_alternative<ShowHelp>(parsed)) {
        WriteOutput(HelpText());
        CloseOutput();
        return 0;
    }
    if (std::holds_alternative<ShowVersion>(parsed)) {
        WriteOutput(VersionText());
        CloseOutput();
        return 0;
    }
    if (std::get<ConvertRequest>(parsed).check && !XmlCheckRefusal().empty()) {
        PrintError(std::string(XmlCheckRefusal()));
        return kExitUsage;
    }
    return Run(std::get<ConvertRequest>(parsed)).All();
}

} // namespace

int main(int argc, char** argv) {
    try {
        const std::vector<std::string> arguments = StartProcess(argc, argv);
        std::vector<const char*> args;
        args.reserve(arguments.size());
        for (const std::string& argument : arguments) {
            args.push_back(argument.c_str());
        }
        return Main(args);
    } catch (const OutputClosed&) {
        return EndForClosedOutput();
    } catch (const DriverError& error) {
        PrintError(error.what());
        return error.Status();
    } catch (const std::bad_alloc&) {
        Failure failure;
        failure.kind = FailureKind::OutOfMemory;
        PrintError(FailureMessage(failure));
        return kExitFailure;
    } catch (const std::exception& error) {
        PrintError(error.what());
        return kExitFailure;
    }
}
