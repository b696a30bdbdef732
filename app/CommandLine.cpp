#include "app/CommandLine.h"

#include <charconv>
#include <utility>

namespace lumavine {

namespace {

struct ModeUsage {
    CommandLine::Mode mode;
    const char* synopsis;
    const char* purpose;
};

constexpr ModeUsage modeUsages[] = {
    { CommandLine::Mode::Designer, "lumavine [PROJECT.xml]", "the designer, opening PROJECT.xml when given" },
    { CommandLine::Mode::NewProject, "lumavine --new DIRECTORY NAME", "New Project without the dialog" },
    { CommandLine::Mode::Generate, "lumavine --generate PROJECT.xml [--jobs N] [--full]",
        "open the project and generate its site (pictures and pages) into its content directory" },
    { CommandLine::Mode::Save, "lumavine --save PROJECT.xml [--jobs N] [--full]",
        "open and save: tidy the content tree, rewrite the project file, generate the site" },
    { CommandLine::Mode::Publish,
        "lumavine --publish PROJECT.xml --connection NAME [--no-content-files] [--no-custom-files] [--jobs N] "
        "[--full]",
        "publish the site over the named FTP connection" },
    { CommandLine::Mode::Help, "lumavine --help | --version", "this text, or the program's version" },
};

// More pictures at once than this only queue for the same cores and memory.
constexpr int mostGenerationJobs = 256;

bool isOption(const std::string& argument)
{
    return argument.size() > 1 && argument[0] == '-';
}

bool isGenerationOption(const std::string& argument)
{
    return argument == "--jobs" || argument == "--full";
}

enum class OptionUse { Other, Taken, Refused };

// Takes --jobs N or --full at arguments[i], stepping i past the value of
// --jobs; a value that is no whole number in range is refused with the
// reason in `error`.
OptionUse takeGenerationOption(
    const std::vector<std::string>& arguments, size_t& i, int& jobs, bool& full, std::string& error)
{
    const std::string& option = arguments[i];
    if (option == "--full") {
        full = true;
        return OptionUse::Taken;
    }
    if (option != "--jobs")
        return OptionUse::Other;
    if (i + 1 >= arguments.size()) {
        error
            = "--jobs needs N, the number of pictures drawn at once (1 to " + std::to_string(mostGenerationJobs) + ")";
        return OptionUse::Refused;
    }
    if (jobs != 0) {
        error = "--jobs given twice";
        return OptionUse::Refused;
    }
    const std::string& value = arguments[++i];
    int number = 0;
    const char* end = value.data() + value.size();
    auto [stop, failure] = std::from_chars(value.data(), end, number);
    if (value.empty() || failure != std::errc() || stop != end || number < 1 || number > mostGenerationJobs) {
        error = "--jobs needs a whole number from 1 to " + std::to_string(mostGenerationJobs) + ", not '" + value + "'";
        return OptionUse::Refused;
    }
    jobs = number;
    return OptionUse::Taken;
}

} // namespace

bool CommandLine::isBuilt(Mode mode)
{
    return mode == Mode::Designer || mode == Mode::Help || mode == Mode::Version || mode == Mode::NewProject
        || mode == Mode::Generate || mode == Mode::Save || mode == Mode::Publish;
}

std::string CommandLine::modeName(Mode mode)
{
    switch (mode) {
    case Mode::Designer:
        return "the designer";
    case Mode::NewProject:
        return "--new";
    case Mode::Generate:
        return "--generate";
    case Mode::Save:
        return "--save";
    case Mode::Publish:
        return "--publish";
    case Mode::Help:
        return "--help";
    case Mode::Version:
        return "--version";
    }
    return {};
}

std::string CommandLine::usage()
{
    std::string text = "Usage:\n";
    for (const ModeUsage& usage : modeUsages) {
        text += "  ";
        text += usage.synopsis;
        text += "\n      ";
        text += usage.purpose;
        if (!isBuilt(usage.mode))
            text += " [not built yet]";
        text += "\n";
    }
    text += "\nWhile they generate the site, --generate, --save and --publish take:\n"
            "  --jobs N   draw N page pictures at once, 1 to "
        + std::to_string(mostGenerationJobs)
        + " (default: one per core; 1 draws them one after another)\n"
          "  --full     draw every page picture, also those unchanged since the last generation\n";
    text += "\nEach mode but the designer runs without a window, prints its messages on standard output\n"
            "(failures on standard error) and exits 0 on success, non-zero on failure.\n";
    return text;
}

bool CommandLine::fail(std::string error)
{
    m_error = std::move(error);
    return false;
}

bool CommandLine::parse(const std::vector<std::string>& arguments)
{
    *this = CommandLine();
    if (arguments.empty())
        return true;

    const std::string& first = arguments[0];
    const size_t operands = arguments.size() - 1;
    if (first == "--help" || first == "-h" || first == "--version") {
        m_mode = first == "--version" ? Mode::Version : Mode::Help;
        return operands == 0 || fail(first + " takes no arguments");
    }
    if (isGenerationOption(first))
        return fail("'" + first + "' goes with --generate, --save or --publish");
    if (first == "--new") {
        m_mode = Mode::NewProject;
        for (size_t i = 1; i < arguments.size(); ++i) {
            if (isGenerationOption(arguments[i]))
                return fail("--new does not take '" + arguments[i] + "'");
        }
        if (operands != 2)
            return fail("--new needs DIRECTORY and NAME");
        m_directory = arguments[1];
        m_name = arguments[2];
        return true;
    }
    if (first == "--generate" || first == "--save")
        return parseGenerate(arguments);
    if (first == "--publish")
        return parsePublish(arguments);
    if (isOption(first))
        return fail("unknown option '" + first + "'");
    for (size_t i = 1; i < arguments.size(); ++i) {
        if (isGenerationOption(arguments[i]))
            return fail(
                "the designer does not take '" + arguments[i] + "'; it goes with --generate, --save or --publish");
    }
    if (operands != 0)
        return fail("the designer opens one project at a time");
    m_project = first;
    return true;
}

bool CommandLine::parseGenerate(const std::vector<std::string>& arguments)
{
    const std::string& mode = arguments[0];
    m_mode = mode == "--generate" ? Mode::Generate : Mode::Save;
    for (size_t i = 1; i < arguments.size(); ++i) {
        switch (takeGenerationOption(arguments, i, m_generationJobs, m_fullGeneration, m_error)) {
        case OptionUse::Taken:
            continue;
        case OptionUse::Refused:
            return false;
        case OptionUse::Other:
            break;
        }
        if (isOption(arguments[i]))
            return fail(mode + " does not take '" + arguments[i] + "'");
        if (!m_project.empty())
            return fail(mode + " needs exactly one PROJECT.xml");
        m_project = arguments[i];
    }
    if (m_project.empty())
        return fail(mode + " needs exactly one PROJECT.xml");
    return true;
}

bool CommandLine::parsePublish(const std::vector<std::string>& arguments)
{
    m_mode = Mode::Publish;
    if (arguments.size() < 2 || isOption(arguments[1]))
        return fail("--publish needs PROJECT.xml");
    m_project = arguments[1];
    for (size_t i = 2; i < arguments.size(); ++i) {
        const OptionUse use = takeGenerationOption(arguments, i, m_generationJobs, m_fullGeneration, m_error);
        if (use == OptionUse::Refused)
            return false;
        if (use == OptionUse::Taken)
            continue;
        const std::string& option = arguments[i];
        if (option == "--connection") {
            if (i + 1 >= arguments.size())
                return fail("--connection needs NAME");
            if (!m_connection.empty())
                return fail("--connection given twice");
            m_connection = arguments[++i];
            if (m_connection.empty())
                return fail("--connection needs NAME");
        } else if (option == "--no-content-files") {
            m_contentFiles = false;
        } else if (option == "--no-custom-files") {
            m_customFiles = false;
        } else {
            return fail("--publish does not take '" + option + "'");
        }
    }
    if (m_connection.empty())
        return fail("--publish needs --connection NAME");
    return true;
}

} // namespace lumavine
