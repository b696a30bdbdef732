#pragma once

#include "core/PtrMap.h"

#include <QMenu>
#include <functional>
#include <memory>
#include <vector>

namespace lumavine {

class Element;

// Pop-up menus built from a menu document of nested "entry" elements, each
// entry addressed by its command path ("shape|reflect|reflectx"). The map
// files the submenus under their paths and owns them.
class MenuMap : public PtrMapOf<QMenu> {
public:
    MenuMap();
    ~MenuMap() override;

    // Forgets everything and builds the menus below the root element.
    void load(const Element* root);
    // The pop-up menu of a submenu path, or null.
    QMenu* popup(std::u16string_view path) const { return get(path); }
    // False when the path is no item or its identifier is 0.
    bool enable(std::u16string_view path, bool on);
    // Adds an item at a path, making the submenus on the way; answers the
    // submenu that holds it, or null for a path of one component.
    QMenu* addItem(const String& path, int id);
    // Removes the direct children of a submenu, submenus with all they hold.
    bool clearSubmenu(const String& path);
    // Forgets a submenu and everything below it.
    bool remove(const String& path);
    void destroy();

    bool hasItem(std::u16string_view path) const { return m_items.contains(path); }
    // The identifier of an item path; 0 when it is none.
    int itemId(std::u16string_view path) const;
    // The menu holding the item of an identifier, or null.
    QMenu* parentOf(int id) const { return m_parents.get(id); }
    // The action of an item path, or null.
    QAction* action(std::u16string_view path) const;
    const String& separator() const { return m_separator; }

    // Called with the identifier of the item the user chooses.
    void setCommandHandler(std::function<void(int)> handler) { m_commandHandler = std::move(handler); }

private:
    void buildLevel(const Element* element, QMenu* parent, const String& parentPath);
    QMenu* createMenu(const String& title);
    QAction* addCommand(QMenu* menu, const String& path, const String& text, int id, bool separator);
    void forgetItem(const String& path);
    void deleteMenu(QMenu* menu);
    String childPath(const String& parentPath, const String& name) const;
    bool isDirectChild(const String& parentPath, const String& path) const;

    StringMap m_items;
    PtrMapOf<QMenu> m_parents;
    String m_separator;
    std::vector<std::unique_ptr<QMenu>> m_menus;
    std::function<void(int)> m_commandHandler;
};

}
