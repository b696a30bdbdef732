#pragma once

#include "generate/Transitions.h"
#include "tests/support/TestProject.h"

namespace lumavine::test {

// The shared test project with real transition settings, whose filter texts
// the generated pages write out; for the generator's tests and the page
// driver of the browser tests.
class GeneratorProject : public TestProject {
public:
    explicit GeneratorProject(const String& directory) : TestProject(directory) { m_transitions.resetAll(); }

    String transitionFilter(std::u16string_view kind) const override { return m_transitions.filterText(kind); }
    String transitionClear(std::u16string_view kind) const override { return m_transitions.clearText(kind); }
    double transitionDuration(std::u16string_view kind) const override { return m_transitions.duration(kind); }

    Transitions& transitions() { return m_transitions; }

private:
    Transitions m_transitions;
};

}
