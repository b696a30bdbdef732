#include "app/CommandLine.h"

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
    { CommandLine::Mode::Generate, "lumavine --generate PROJECT.xml",
        "open the project and generate its site (pictures and pages) into its content directory" },
    { CommandLine::Mode::Save, "lumavine --save PROJECT.xml",
        "open and save: tidy the content tree, rewrite the project file, generate the site" },
    { CommandLine::Mode::Publish,
        "lumavine --publish PROJECT.xml --connection NAME [--no-content-files] [--no-custom-files]",
        "publish the site over the named FTP connection" },
    { CommandLine::Mode::Help, "lumavine --help | --version", "this text, or the program's version" },
};

bool isOption(const std::string& argument)
{
    return argument.size() > 1 && argument[0] == '-';
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
    if (first == "--new") {
        m_mode = Mode::NewProject;
        if (operands != 2)
            return fail("--new needs DIRECTORY and NAME");
        m_directory = arguments[1];
        m_name = arguments[2];
        return true;
    }
    if (first == "--generate" || first == "--save") {
        m_mode = first == "--generate" ? Mode::Generate : Mode::Save;
        if (operands != 1)
            return fail(first + " needs exactly one PROJECT.xml");
        m_project = arguments[1];
        return true;
    }
    if (first == "--publish")
        return parsePublish(arguments);
    if (isOption(first))
        return fail("unknown option '" + first + "'");
    if (operands != 0)
        return fail("the designer opens one project at a time");
    m_project = first;
    return true;
}

bool CommandLine::parsePublish(const std::vector<std::string>& arguments)
{
    m_mode = Mode::Publish;
    if (arguments.size() < 2 || isOption(arguments[1]))
        return fail("--publish needs PROJECT.xml");
    m_project = arguments[1];
    for (size_t i = 2; i < arguments.size(); ++i) {
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
