#pragma once

#include <string>
#include <vector>

namespace lumavine {

// The ways the program can be started: the designer with its windows, or one job run without
// a window for automation and tests. Arguments stay in the locale's narrow text; they become
// paths of the model only where a mode opens a project.
class CommandLine {
public:
    enum class Mode { Designer, NewProject, Generate, Save, Publish, Help, Version };

    // Reads the arguments that follow the program name. Answers false, with error() telling why,
    // when they do not form one of the modes.
    bool parse(const std::vector<std::string>& arguments);

    Mode mode() const { return m_mode; }
    const std::string& project() const { return m_project; }
    const std::string& directory() const { return m_directory; }
    const std::string& name() const { return m_name; }
    const std::string& connection() const { return m_connection; }
    bool contentFiles() const { return m_contentFiles; }
    bool customFiles() const { return m_customFiles; }
    // How many page pictures the modes that generate draw at once; 0 when
    // not given, which leaves it to the document (one per core).
    int generationJobs() const { return m_generationJobs; }
    // Whether they draw every page picture, fingerprints notwithstanding.
    bool fullGeneration() const { return m_fullGeneration; }
    const std::string& error() const { return m_error; }

    // Whether this build carries the mode; the others are refused rather than pretended.
    static bool isBuilt(Mode);
    // How messages name the mode: its option, or "the designer".
    static std::string modeName(Mode);
    static std::string usage();

private:
    bool fail(std::string error);
    bool parseGenerate(const std::vector<std::string>& arguments);
    bool parsePublish(const std::vector<std::string>& arguments);

    Mode m_mode { Mode::Designer };
    std::string m_project;
    std::string m_directory;
    std::string m_name;
    std::string m_connection;
    bool m_contentFiles { true };
    bool m_customFiles { true };
    int m_generationJobs { 0 };
    bool m_fullGeneration { false };
    std::string m_error;
};

} // namespace lumavine
