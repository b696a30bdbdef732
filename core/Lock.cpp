#include "core/Lock.h"

namespace lumavine {

void Lock::lock()
{
    m_mutex.lock();
}

void Lock::unlock()
{
    m_mutex.unlock();
}

bool Lock::try_lock()
{
    return m_mutex.try_lock();
}

}
