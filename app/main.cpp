#include "app/CommandLine.h"
#include "app/MainWindow.h"
#include "app/ProjectJobs.h"
#include "app/StartUp.h"
#include "core/PathInfo.h"
#include "forms/QtText.h"
#include "net/NetworkServices.h"

#include <QApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QMessageBox>
#include <cstdlib>

#include <iostream>
#include <string>
#include <vector>

#ifndef LUMAVINE_VERSION
#error "LUMAVINE_VERSION comes from the project version in CMakeLists.txt"
#endif

namespace {

// The designer: the start-up that finds the installation, then the main
// window, with the project of the command line open when one is given.
int runDesigner(const lumavine::CommandLine& commandLine, int& argc, char** argv)
{
    using namespace lumavine;
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if (!(platform && *platform) && !(display && *display) && !(wayland && *wayland)) {
        // Qt would abort without one; say what is wrong instead.
        std::cerr << "lumavine: the designer needs a display (none is set in DISPLAY or WAYLAND_DISPLAY); "
                     "the modes of 'lumavine --help' work without one\n";
        return 1;
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lumavine Designer"));
    QApplication::setApplicationVersion(QStringLiteral(LUMAVINE_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("lumavine"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("lumavine")));

    String message;
    const std::optional<Installation> installation = StartUp::readInstallation(message);
    if (!installation) {
        std::cerr << "lumavine: " << message.toNarrow() << "\n";
        QMessageBox::critical(nullptr, QApplication::applicationDisplayName(), toQString(message));
        return 1;
    }
    installNetworkServices();
    StartUp::applySharedDefaults();

    MainWindow window(*installation);
    window.show();
    if (!commandLine.project().empty())
        window.openProject(
            fromQString(QFileInfo(QString::fromLocal8Bit(commandLine.project().c_str())).absoluteFilePath()));
    // A developer aid: a fixed test project beside the installation.
    if (std::getenv("lumavine_test")) {
        const String testProject = installation->directory + u"/webpage.xml";
        if (PathInfo(testProject).exists())
            window.openProject(testProject);
    }
    return application.exec();
}

}

int main(int argc, char** argv)
{
    using lumavine::CommandLine;

    const std::vector<std::string> arguments(argv + 1, argv + argc);
    CommandLine commandLine;
    if (!commandLine.parse(arguments)) {
        std::cerr << "lumavine: " << commandLine.error() << "\nTry 'lumavine --help'.\n";
        return 2;
    }

    switch (commandLine.mode()) {
    case CommandLine::Mode::Version:
        std::cout << "Lumavine Designer " LUMAVINE_VERSION "\n";
        return 0;
    case CommandLine::Mode::Help:
        std::cout << CommandLine::usage();
        return 0;
    default:
        break;
    }

    if (commandLine.mode() == CommandLine::Mode::Designer)
        return runDesigner(commandLine, argc, argv);

    if (CommandLine::isBuilt(commandLine.mode())) {
        // The jobs draw page pictures but show nothing, so no display is needed.
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        QGuiApplication application(argc, argv);
        return lumavine::runProjectJob(commandLine, std::cout, std::cerr);
    }

    // Refusing is the honest answer for a mode whose subsystems this build does not carry.
    std::cerr << "lumavine: " << CommandLine::modeName(commandLine.mode()) << " is not available in this build\n";
    return 1;
}
