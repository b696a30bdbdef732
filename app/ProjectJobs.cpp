#include "app/ProjectJobs.h"

#include "app/NewProject.h"
#include "app/PageDocument.h"
#include "app/PublishRun.h"
#include "app/StartUp.h"
#include "core/PathInfo.h"
#include "net/FtpConnections.h"
#include "net/NetworkServices.h"
#include "page/Page.h"

#include <cstdlib>
#include <iostream>
#include <ostream>
#include <string>

#include <termios.h>
#include <unistd.h>

namespace lumavine {

namespace {

// Reports through the streams and remembers whether anything failed, since
// a page that could not be written still lets the others be written.
class JobReport {
public:
    JobReport(std::ostream& out, std::ostream& err) : m_out(out), m_err(err) { }

    void attach(PageDocument& document)
    {
        document.setErrorReporter([this](const String& message) { error(message); });
        document.setStatusReporter([this](const String& line) { m_out << line.toNarrow() << '\n'; });
    }
    void line(const String& text) { m_out << text.toNarrow() << '\n'; }
    void error(const String& message)
    {
        m_err << message.toNarrow() << '\n';
        m_failed = true;
    }
    bool failed() const { return m_failed; }
    int exitCode() const { return m_failed ? 1 : 0; }

private:
    std::ostream& m_out;
    std::ostream& m_err;
    bool m_failed = false;
};

bool openProject(PageDocument& document, const String& path, JobReport& report)
{
    if (!PathInfo(path).isFile() || !document.open(path)) {
        report.error(String(u"Failed to open document: ") + path);
        return false;
    }
    return true;
}

void tellSite(PageDocument& document, JobReport& report)
{
    for (const String* path : document.writtenPages())
        report.line(String(u"wrote ") + *path);
    report.line(String(u"site: ") + document.contentDirectory());
}

// The password for a connection that keeps none, asked only when the
// server wants one: from LUMAVINE_FTP_PASSWORD when it is set and not
// empty, else one line of standard input when that is a pipe or a file
// (automation), else typed at the terminal without echo. The end of the
// input declines.
std::optional<String> commandLinePassword(const PublishSettings& settings, std::ostream& err)
{
    if (const char* given = std::getenv("LUMAVINE_FTP_PASSWORD"); given && *given)
        return String(std::string(given));
    std::string line;
    if (!isatty(STDIN_FILENO)) {
        if (!std::getline(std::cin, line))
            return std::nullopt;
    } else {
        err << "Password for " << settings.user.toNarrow() << " at " << settings.host.toNarrow() << ": " << std::flush;
        termios saved {};
        bool quiet = tcgetattr(STDIN_FILENO, &saved) == 0;
        if (quiet) {
            termios silent = saved;
            silent.c_lflag &= ~tcflag_t(ECHO);
            quiet = tcsetattr(STDIN_FILENO, TCSAFLUSH, &silent) == 0;
        }
        bool read = static_cast<bool>(std::getline(std::cin, line));
        if (quiet)
            tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
        err << "\n";
        if (!read)
            return std::nullopt;
    }
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return String(line);
}

int publishProject(const CommandLine& commandLine, PageDocument& document, JobReport& report, std::ostream& err)
{
    String message;
    const std::optional<Installation> installation = StartUp::readInstallation(message);
    if (!installation) {
        report.error(message);
        return 1;
    }
    FtpConnections connections(installation->connectionsFile.toNarrow());
    connections.load();
    const String name(commandLine.connection());
    std::optional<FtpConnection> connection = connections.connection(name);
    if (!connection) {
        report.error(u"No FTP connection named " + name + u" in " + installation->connectionsFile);
        return 1;
    }
    if (!openProject(document, String(commandLine.project()), report))
        return 1;
    unsigned flags = (commandLine.contentFiles() ? PublishSettings::ContentFiles : 0u)
        | (commandLine.customFiles() ? PublishSettings::CustomFiles : 0u);
    document.publishSettings() = PublishSettings::fromConnection(*connection, flags);
    std::optional<std::vector<PublishPage>> pages = document.writePublishPages(message);
    if (!pages)
        return 1;

    PublishRun run(document.publishSettings(), document.publishProject(), std::move(*pages),
        (installation->directory + u"/ftplog.txt").toNarrow());
    run.setStatusSink([&report](const String& line) { report.line(line); });
    const PublishSettings& settings = document.publishSettings();
    run.setPasswordPrompt([&settings, &err] { return commandLinePassword(settings, err); });
    if (!run.run()) {
        report.error(u"Publishing failed: " + run.failure());
        return 1;
    }
    return report.exitCode();
}

}

int runProjectJob(const CommandLine& commandLine, std::ostream& out, std::ostream& err)
{
    installNetworkServices();
    StartUp::applySharedDefaults();
    JobReport report(out, err);
    PageDocument document;
    report.attach(document);
    document.setGenerationJobs(commandLine.generationJobs());
    document.setFullGeneration(commandLine.fullGeneration());

    switch (commandLine.mode()) {
    case CommandLine::Mode::NewProject: {
        String projectFile;
        String message;
        if (!createProject(String(commandLine.directory()), String(commandLine.name()), projectFile, message)) {
            report.error(message);
            return 1;
        }
        // A new project opens with one page named after it; saving makes it
        // a project file that holds that page, and its site.
        if (!openProject(document, projectFile, report) || !document.save())
            return 1;
        report.line(String(u"created ") + projectFile);
        tellSite(document, report);
        return report.exitCode();
    }
    case CommandLine::Mode::Generate:
        if (!openProject(document, String(commandLine.project()), report))
            return 1;
        if (!document.generateSite() && !report.failed())
            report.error(String(u"Error in processing ") + document.projectFile() + u": ");
        tellSite(document, report);
        return report.exitCode();
    case CommandLine::Mode::Save:
        if (!openProject(document, String(commandLine.project()), report))
            return 1;
        if (!document.save() && !report.failed())
            report.error(String(u"Error in processing ") + document.projectFile() + u": ");
        report.line(String(u"saved ") + document.projectFile());
        tellSite(document, report);
        return report.exitCode();
    case CommandLine::Mode::Publish:
        return publishProject(commandLine, document, report, err);
    default:
        report.error(String(CommandLine::modeName(commandLine.mode())) + u" is not available in this build");
        return 1;
    }
}

}
