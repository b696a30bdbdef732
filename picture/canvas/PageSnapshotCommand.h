#pragma once

#include "core/String.h"

#include <QPointer>
#include <QUndoCommand>
#include <vector>

namespace lumavine {

class PageView;

// The page as it was before one edit and as the edit left it, whole: the
// page element keeps ids, layers, groups and attached line ends, so
// restoring it through the page's own reader is exact. The page is named by
// id and reached through the view that showed it; when that view is gone or
// shows another page the step does nothing, and the window that shares the
// stack between pages is the one to show the page first.
class PageSnapshotCommand : public QUndoCommand {
public:
    // Consecutive steps of the same merge id on the same page are one step.
    static constexpr int nudgeMergeId = 1;

    struct State {
        String xml;
        // Selected shape ids, so that undo and redo select what was selected.
        std::vector<String> selection;
        bool operator==(const State&) const = default;
    };

    PageSnapshotCommand(
        PageView& view, String pageId, State before, State after, const QString& text, int mergeId = -1);

    void undo() override;
    void redo() override;
    int id() const override { return m_mergeId; }
    bool mergeWith(const QUndoCommand* other) override;

    const String& pageId() const { return m_pageId; }
    const State& before() const { return m_before; }
    const State& after() const { return m_after; }

private:
    QPointer<PageView> m_view;
    String m_pageId;
    State m_before;
    State m_after;
    int m_mergeId;
    // The edit itself made the after state; the stack's first redo on push
    // has nothing to do.
    bool m_applied = true;
};

}
