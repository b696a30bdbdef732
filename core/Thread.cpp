#include "core/Thread.h"

#include "core/Lock.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace lumavine {

namespace {

// Function-local so that threads started during static initialisation
// find them constructed.
Lock& liveThreadLock()
{
    static Lock lock;
    return lock;
}

PtrList& liveThreads()
{
    static PtrList list;
    return list;
}

struct ExitActions {
    Lock lock;
    std::function<void()> shutdownHook;
    std::vector<void (*)()> cleanups;
};

ExitActions& exitActions()
{
    static ExitActions actions;
    return actions;
}

}

Thread::Thread() = default;

Thread::~Thread()
{
    destroy();
}

int Thread::run()
{
    return 0;
}

void Thread::startHook()
{
}

void Thread::stopHook()
{
}

void Thread::finishHook()
{
}

bool Thread::start()
{
    if (m_destroyed || m_running)
        return false;
    if (m_thread.joinable())
        m_thread.join();
    m_stopRequested = false;
    m_running = true;
    m_control = std::make_shared<Control>();
    {
        // Held until m_thread is assigned: the new thread waits for it
        // before it runs anything that may look at m_thread.
        std::lock_guard<std::mutex> guard(m_stateMutex);
        try {
            m_thread = std::thread(&Thread::main, this, m_control);
            return true;
        } catch (const std::system_error&) {
            m_running = false;
        }
    }
    m_stopped.notify_all();
    return false;
}

void Thread::main(std::shared_ptr<Control> control)
{
    {
        std::lock_guard<std::mutex> guard(m_stateMutex);
    }
    m_threadId = long(gettid());
    {
        std::lock_guard<Lock> guard(liveThreadLock());
        liveThreads().addIfAbsent(this);
    }
    startHook();
    int code = run();
    if (control->orphaned)
        return;
    m_exitCode = code;
    finishHook();
    if (control->orphaned)
        return;
    markStopped();
}

void Thread::markStopped()
{
    {
        std::lock_guard<std::mutex> guard(m_stateMutex);
        m_running = false;
    }
    m_stopped.notify_all();
}

bool Thread::requestStop(int intervalMs, int tries)
{
    if (m_running && !m_stopRequested.exchange(true))
        stopHook();
    if (m_thread.joinable() && m_thread.get_id() == std::this_thread::get_id())
        return !m_running;
    auto interval = std::chrono::milliseconds(std::max(intervalMs, 1));
    std::unique_lock<std::mutex> lock(m_stateMutex);
    auto stopped = [this] { return !m_running; };
    if (tries > 0) {
        for (int i = 0; i < tries && m_running; ++i)
            m_stopped.wait_for(lock, interval, stopped);
    } else {
        while (m_running)
            m_stopped.wait_for(lock, interval, stopped);
    }
    return !m_running;
}

void Thread::destroy()
{
    if (m_destroyed.exchange(true))
        return;
    if (m_thread.joinable() && m_thread.get_id() == std::this_thread::get_id()) {
        m_control->orphaned = true;
        m_running = false;
        m_thread.detach();
    } else {
        requestStop(500, 0);
        if (m_thread.joinable())
            m_thread.join();
    }
    // Only now: a thread still starting up could otherwise add itself back
    // after its removal, and run() could still be using the strings.
    if (m_threadId) {
        std::lock_guard<Lock> guard(liveThreadLock());
        liveThreads().remove(this);
    }
    m_strings.clear();
}

size_t Thread::liveThreadCount()
{
    std::lock_guard<Lock> guard(liveThreadLock());
    return liveThreads().count();
}

void Thread::sleep(int ms)
{
    if (ms > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void Thread::setShutdownHook(std::function<void()> hook)
{
    ExitActions& actions = exitActions();
    std::lock_guard<Lock> guard(actions.lock);
    actions.shutdownHook = std::move(hook);
}

void Thread::addExitCleanup(void (*cleanup)())
{
    if (!cleanup)
        return;
    ExitActions& actions = exitActions();
    std::lock_guard<Lock> guard(actions.lock);
    if (std::find(actions.cleanups.begin(), actions.cleanups.end(), cleanup) == actions.cleanups.end())
        actions.cleanups.push_back(cleanup);
}

void Thread::exitProcess(int code)
{
    std::printf("\nexiting with code %d\n", code);
    std::fflush(stdout);
    std::function<void()> hook;
    std::vector<void (*)()> cleanups;
    {
        ExitActions& actions = exitActions();
        std::lock_guard<Lock> guard(actions.lock);
        hook = actions.shutdownHook;
        cleanups = actions.cleanups;
    }
    // Copied out first: a hook may well take other locks or add cleanups.
    if (hook)
        hook();
    for (auto cleanup : cleanups)
        cleanup();
    std::fflush(nullptr);
    _exit(code);
}

}
