#pragma once

#include <mutex>

namespace lumavine {

// A mutex that the thread holding it may take again, used with
// std::lock_guard<Lock> around every change of a shared list.
class Lock {
public:
    Lock() = default;
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

    void lock();
    void unlock();
    bool try_lock();

private:
    std::recursive_mutex m_mutex;
};

}
