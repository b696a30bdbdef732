#include "picture/canvas/PageSnapshotCommand.h"

#include "picture/canvas/PageView.h"

namespace lumavine {

PageSnapshotCommand::PageSnapshotCommand(
    PageView& view, String pageId, State before, State after, const QString& text, int mergeId)
    : QUndoCommand(text)
    , m_view(&view)
    , m_pageId(std::move(pageId))
    , m_before(std::move(before))
    , m_after(std::move(after))
    , m_mergeId(mergeId)
{
}

void PageSnapshotCommand::undo()
{
    if (m_view)
        m_view->restoreSnapshot(m_pageId, m_before);
    m_applied = false;
}

void PageSnapshotCommand::redo()
{
    if (!m_applied && m_view)
        m_view->restoreSnapshot(m_pageId, m_after);
    m_applied = false;
}

bool PageSnapshotCommand::mergeWith(const QUndoCommand* other)
{
    const auto* next = dynamic_cast<const PageSnapshotCommand*>(other);
    if (!next || next->m_pageId != m_pageId || next->m_before.xml != m_after.xml)
        return false;
    m_after = next->m_after;
    // Nudges that came back to where they started are no step at all.
    setObsolete(m_before.xml == m_after.xml);
    return true;
}

}
