#pragma once

#include "core/StringList.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace lumavine {

// Base of the program's threads. The base keeps the identifier and the
// life-cycle flags; a subclass that wants its run() on a thread of its own
// calls start().
//
// A subclass whose run() or hooks use the subclass's own members calls
// destroy() first thing in its own destructor: by the time ~Thread runs,
// those members are gone while the thread may still be inside run().
class Thread {
public:
    Thread();
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;
    virtual ~Thread();

    virtual int run();
    // Runs on the new thread just before run().
    virtual void startHook();
    // Runs on the requesting thread when a stop is first requested, so that
    // a subclass can wake a run() blocked in a system call.
    virtual void stopHook();
    // Runs on the thread after run() has returned.
    virtual void finishHook();

    // Asks a running thread to stop, then waits up to `tries` intervals (with
    // 0, until it stops). Answers whether it has stopped. A thread asking
    // itself never waits.
    bool requestStop(int intervalMs, int tries);

    static void sleep(int ms);
    // Prints the exit line, runs the shutdown hook and then the exit
    // cleanups in the order they were added, and ends the process at once.
    [[noreturn]] static void exitProcess(int code);
    static void setShutdownHook(std::function<void()> hook);
    static void addExitCleanup(void (*cleanup)());

    StringList& strings() { return m_strings; }
    bool isRunning() const { return m_running.load(); }
    bool stopRequested() const { return m_stopRequested.load(); }
    bool isDestroyed() const { return m_destroyed.load(); }
    // The system's identifier of the thread, 0 until it runs.
    long threadId() const { return m_threadId.load(); }
    // What run() answered the last time it ended.
    int exitCode() const { return m_exitCode.load(); }
    // How many threads that have run are not destroyed yet.
    static size_t liveThreadCount();

protected:
    // Runs startHook(), run() and finishHook() on a new thread. Fails while
    // the thread runs, after destroy(), or when no thread can be created.
    bool start();
    // Stops the thread and waits for it, then takes it out of the list of
    // live threads. Called from the destructor on the thread itself (an
    // object deleting itself from run()), it only lets the thread go.
    void destroy();

private:
    // Outlives the object when the thread deletes its own object, so that the
    // thread can tell not to touch it any more.
    struct Control {
        bool orphaned = false;
    };

    void main(std::shared_ptr<Control> control);
    void markStopped();

    StringList m_strings;
    std::atomic<long> m_threadId { 0 };
    std::atomic<bool> m_running { false };
    std::atomic<bool> m_destroyed { false };
    std::atomic<bool> m_stopRequested { false };
    std::atomic<int> m_exitCode { 0 };
    std::mutex m_stateMutex;
    std::condition_variable m_stopped;
    std::shared_ptr<Control> m_control;
    std::thread m_thread;
};

}
