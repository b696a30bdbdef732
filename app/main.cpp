#include "app/CommandLine.h"
#include "app/ProjectJobs.h"

#include <QGuiApplication>
#include <cstdlib>

#include <iostream>
#include <string>
#include <vector>

#ifndef LUMAVINE_VERSION
#error "LUMAVINE_VERSION comes from the project version in CMakeLists.txt"
#endif

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
