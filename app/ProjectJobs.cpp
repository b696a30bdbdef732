#include "app/ProjectJobs.h"

#include "app/NewProject.h"
#include "app/PageDocument.h"
#include "app/StartUp.h"
#include "core/PathInfo.h"
#include "net/NetworkServices.h"
#include "page/Page.h"

#include <ostream>

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

}

int runProjectJob(const CommandLine& commandLine, std::ostream& out, std::ostream& err)
{
    installNetworkServices();
    StartUp::applySharedDefaults();
    JobReport report(out, err);
    PageDocument document;
    report.attach(document);

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
    default:
        report.error(String(CommandLine::modeName(commandLine.mode())) + u" is not available in this build");
        return 1;
    }
}

}
