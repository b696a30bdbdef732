#pragma once

#include "core/String.h"

#include <memory>
#include <optional>
#include <string>

namespace lumavine {

class Document;
class Element;

// The settings store: one XML file, one element per key component and one
// per value. LUMAVINE_REGISTRY names the file; otherwise it lives in the
// user's configuration folder.
class Registry {
public:
    enum Access { Read = 1, Write = 2 };

    Registry();
    ~Registry();
    Registry(const Registry&) = delete;
    Registry& operator=(const Registry&) = delete;

    // Key paths separate their components with "\" (or "/"). Opening for
    // writing creates a missing key; opening for reading does not.
    bool open(const String& keyPath, int access = Read);
    void close();
    bool isOpen() const { return m_key != nullptr; }

    // The value, or the empty text when it or the key is absent.
    const String& getString(std::u16string_view name);
    std::optional<String> getStringOrNone(std::u16string_view name);
    bool setString(const String& name, const String& text);
    bool setInt(const String& name, int value);

    static std::string settingsPath();

private:
    std::unique_ptr<Document> m_document;
    Element* m_key = nullptr;
    int m_access = 0;
    String m_value;
};

}
