#include "forms/MenuMap.h"

#include "forms/QtText.h"
#include "xml/Element.h"

#include <algorithm>

namespace lumavine {

MenuMap::MenuMap() : PtrMapOf<QMenu>(true), m_items(true), m_parents(true), m_separator(u"|")
{
}

MenuMap::~MenuMap()
{
    destroy();
}

void MenuMap::destroy()
{
    PtrMap::clear();
    m_items.clear();
    m_parents.clear();
    m_menus.clear();
}

String MenuMap::childPath(const String& parentPath, const String& name) const
{
    return parentPath.empty() ? name : parentPath + m_separator + name;
}

bool MenuMap::isDirectChild(const String& parentPath, const String& path) const
{
    String prefix = parentPath + m_separator;
    return path.startsWith(prefix) && path.find(m_separator, prefix.size()) == String::npos;
}

QMenu* MenuMap::createMenu(const String& title)
{
    m_menus.push_back(std::make_unique<QMenu>(toQString(title)));
    return m_menus.back().get();
}

void MenuMap::deleteMenu(QMenu* menu)
{
    // The menu's own action leaves its parent menu with it.
    auto found = std::find_if(m_menus.begin(), m_menus.end(), [menu](auto& owned) { return owned.get() == menu; });
    if (found != m_menus.end())
        m_menus.erase(found);
}

QAction* MenuMap::addCommand(QMenu* menu, const String& path, const String& text, int id, bool separator)
{
    QAction* action = separator ? menu->addSeparator() : menu->addAction(toQString(text));
    action->setData(id);
    QObject::connect(action, &QAction::triggered, [this, id] {
        if (m_commandHandler)
            m_commandHandler(id);
    });
    m_items.set(path, String::number(id));
    m_parents.add(id, menu);
    return action;
}

void MenuMap::load(const Element* root)
{
    destroy();
    if (root)
        buildLevel(root, nullptr, String());
}

void MenuMap::buildLevel(const Element* element, QMenu* parent, const String& parentPath)
{
    for (Node* node : element->childNodes()) {
        const Element* entry = node->asElement();
        if (!entry || !entry->tagName().equals(u"entry"))
            continue;
        const String& name = entry->getAttribute(u"name");
        if (name.empty())
            continue;
        String text = entry->getAttribute(u"text");
        if (text.empty())
            text = name;
        String type = entry->getAttribute(u"type");
        if (type.empty())
            type = u"item";
        int id = 0;
        entry->getAttribute(u"id").readInt(id);
        String path = childPath(parentPath, name);

        if (type.equals(u"menu")) {
            if (contains(path))
                continue;
            QMenu* menu = createMenu(text);
            buildLevel(entry, menu, path);
            if (parent)
                parent->addMenu(menu);
            add(path, menu);
        } else if (type.equals(u"checkbox")) {
            if (!m_items.contains(path)) {
                m_items.set(path, String::number(id));
                if (parent)
                    m_parents.add(id, parent);
            }
        } else if (parent && !m_items.contains(path)) {
            addCommand(parent, path, text, id, entry->getAttribute(u"separator").equals(u"true"));
        }
    }
}

int MenuMap::itemId(std::u16string_view path) const
{
    int id = 0;
    m_items.get(path).readInt(id);
    return id;
}

QAction* MenuMap::action(std::u16string_view path) const
{
    int id = itemId(path);
    QMenu* menu = id ? m_parents.get(id) : nullptr;
    if (!menu)
        return nullptr;
    for (QAction* candidate : menu->actions()) {
        if (!candidate->menu() && candidate->data().toInt() == id)
            return candidate;
    }
    return nullptr;
}

bool MenuMap::enable(std::u16string_view path, bool on)
{
    QAction* found = action(path);
    if (!found)
        return false;
    found->setEnabled(on);
    return true;
}

QMenu* MenuMap::addItem(const String& path, int id)
{
    std::vector<String> parts;
    size_t start = 0;
    while (true) {
        size_t at = path.find(m_separator, start);
        parts.push_back(path.substring(start, at == String::npos ? path.size() : at));
        if (at == String::npos)
            break;
        start = at + m_separator.size();
    }
    if (parts.size() < 2 || std::any_of(parts.begin(), parts.end(), [](const String& p) { return p.empty(); }))
        return nullptr;
    QMenu* previous = nullptr;
    String soFar;
    for (size_t i = 0; i + 1 < parts.size(); ++i) {
        soFar = childPath(soFar, parts[i]);
        QMenu* menu = get(soFar);
        if (!menu) {
            menu = createMenu(parts[i]);
            if (previous)
                previous->addMenu(menu);
            add(soFar, menu);
        }
        previous = menu;
    }
    if (!m_items.contains(path))
        addCommand(previous, path, parts.back(), id, false);
    return previous;
}

void MenuMap::forgetItem(const String& path)
{
    int id = itemId(path);
    QMenu* holder = m_parents.get(id);
    if (QAction* item = action(path)) {
        holder->removeAction(item);
        item->deleteLater();
    }
    // Another item may share the identifier; only this one's holder is forgotten.
    size_t sharing = 0;
    for (const Entry* entry : m_items.order())
        sharing += StringMap::valueOf(entry).equals(String::number(id)) ? 1 : 0;
    if (holder && sharing <= 1)
        m_parents.remove(id);
    m_items.remove(path);
}

bool MenuMap::clearSubmenu(const String& path)
{
    if (!contains(path))
        return false;
    std::vector<String> menus, items;
    for (const Entry* entry : order()) {
        if (isDirectChild(path, entry->key()))
            menus.push_back(entry->key());
    }
    for (const Entry* entry : m_items.order()) {
        if (isDirectChild(path, entry->key()))
            items.push_back(entry->key());
    }
    for (const String& item : items)
        forgetItem(item);
    for (const String& menu : menus)
        remove(menu);
    return true;
}

bool MenuMap::remove(const String& path)
{
    QMenu* menu = get(path);
    if (!menu)
        return false;
    String prefix = path + m_separator;
    std::vector<String> menus { path }, items;
    for (const Entry* entry : order()) {
        if (entry->key().startsWith(prefix))
            menus.push_back(entry->key());
    }
    for (const Entry* entry : m_items.order()) {
        if (entry->key().startsWith(prefix))
            items.push_back(entry->key());
    }
    for (const String& item : items)
        forgetItem(item);
    for (const String& key : menus)
        deleteMenu(static_cast<QMenu*>(PtrMap::remove(key)));
    return true;
}

}
