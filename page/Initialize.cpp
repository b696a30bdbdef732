#include "page/Initialize.h"

#include "core/StringList.h"
#include "page/Page.h"

namespace lumavine {

Initialize::Initialize() : m_entries(u"initialize", u"entry") { }

Initialize::~Initialize() = default;

void Initialize::read(const Element* element)
{
    m_entries.read(element);
}

void Initialize::write(Element* pageElement) const
{
    m_entries.writeRoot(pageElement);
}

void Initialize::dataLines(StringList& lines, Page* preloadPage) const
{
    for (const Element* entry : m_entries.entries()) {
        const String& action = EntryList::actionOf(entry);
        lines.append(u"\t" + action + u";");
        if (preloadPage)
            preloadPage->addPreload(action);
    }
}

}
