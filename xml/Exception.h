#pragma once

#include "core/String.h"

namespace lumavine {

// The one error the document tree raises.
class Exception {
public:
    Exception(String source, int code, String message)
        : m_source(std::move(source))
        , m_code(code)
        , m_message(std::move(message))
    {
    }
    virtual ~Exception() = default;

    const String& source() const { return m_source; }
    int code() const { return m_code; }
    const String& message() const { return m_message; }

private:
    String m_source;
    int m_code;
    String m_message;
};

}
