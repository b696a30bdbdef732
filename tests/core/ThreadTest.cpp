#include "core/Thread.h"
#include "core/Lock.h"
#include "core/UniqueId.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <set>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace lumavine;

namespace {

// Counts until asked to stop; its members are used by run(), so it stops the
// thread in its own destructor.
class CountingThread : public Thread {
public:
    ~CountingThread() override { destroy(); }
    using Thread::start;

    int run() override
    {
        started = true;
        while (!stopRequested()) {
            ++rounds;
            strings().append(u"round");
            if (strings().count() > 100)
                strings().clear();
            sleep(1);
        }
        return 7;
    }
    void startHook() override { hooks.push_back("start"); }
    void stopHook() override { ++stopHooks; }
    void finishHook() override { hooks.push_back("finish"); }

    std::atomic<bool> started { false };
    std::atomic<int> rounds { 0 };
    std::atomic<int> stopHooks { 0 };
    std::vector<const char*> hooks;
};

// Never looks at the stop flag: it ends when the test lets it.
class StubbornThread : public Thread {
public:
    explicit StubbornThread(std::atomic<bool>& release) : m_release(release) { }
    ~StubbornThread() override { destroy(); }
    using Thread::start;
    int run() override
    {
        while (!m_release)
            sleep(1);
        return 0;
    }

private:
    std::atomic<bool>& m_release;
};

// Deletes itself at the end of its own run().
class SelfDeletingThread : public Thread {
public:
    explicit SelfDeletingThread(std::atomic<bool>& done) : m_done(done) { }
    ~SelfDeletingThread() override { destroy(); }
    using Thread::start;
    int run() override
    {
        std::atomic<bool>& done = m_done;
        delete this;
        done = true;
        return 0;
    }

private:
    std::atomic<bool>& m_done;
};

template<typename Predicate>
bool waitFor(Predicate predicate)
{
    for (int i = 0; i < 10000 && !predicate(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return predicate();
}

}

TEST(Lock, IsRecursiveAndExcludesOtherThreads)
{
    Lock lock;
    {
        std::lock_guard<Lock> outer(lock);
        std::lock_guard<Lock> inner(lock);
        bool otherGotIt = true;
        std::thread other([&] { otherGotIt = lock.try_lock(); });
        other.join();
        EXPECT_FALSE(otherGotIt);
    }
    bool otherGotIt = false;
    std::thread other([&] {
        otherGotIt = lock.try_lock();
        if (otherGotIt)
            lock.unlock();
    });
    other.join();
    EXPECT_TRUE(otherGotIt);

    long counter = 0;
    std::vector<std::thread> workers;
    for (int t = 0; t < 4; ++t) {
        workers.emplace_back([&] {
            for (int i = 0; i < 20000; ++i) {
                std::lock_guard<Lock> guard(lock);
                long seen = counter;
                counter = seen + 1;
            }
        });
    }
    for (auto& worker : workers)
        worker.join();
    EXPECT_EQ(counter, 80000);
}

TEST(Thread, RunsWithHooksAndStopsOnRequest)
{
    size_t liveBefore = Thread::liveThreadCount();
    CountingThread thread;
    EXPECT_FALSE(thread.isRunning());
    EXPECT_EQ(thread.threadId(), 0);
    EXPECT_TRUE(thread.requestStop(1, 1));
    EXPECT_FALSE(thread.stopRequested());

    ASSERT_TRUE(thread.start());
    EXPECT_TRUE(thread.isRunning());
    EXPECT_FALSE(thread.start());
    ASSERT_TRUE(waitFor([&] { return thread.rounds > 2; }));
    EXPECT_NE(thread.threadId(), 0);
    EXPECT_EQ(Thread::liveThreadCount(), liveBefore + 1);

    EXPECT_TRUE(thread.requestStop(50, 0));
    EXPECT_TRUE(thread.stopRequested());
    EXPECT_FALSE(thread.isRunning());
    EXPECT_EQ(thread.exitCode(), 7);
    EXPECT_EQ(thread.stopHooks, 1);
    EXPECT_TRUE(thread.requestStop(50, 0));
    EXPECT_EQ(thread.stopHooks, 1);
    ASSERT_EQ(thread.hooks.size(), 2u);
    EXPECT_STREQ(thread.hooks[0], "start");
    EXPECT_STREQ(thread.hooks[1], "finish");

    // A finished thread may run again.
    int roundsBefore = thread.rounds;
    ASSERT_TRUE(thread.start());
    ASSERT_TRUE(waitFor([&] { return thread.rounds > roundsBefore; }));
    EXPECT_TRUE(thread.requestStop(50, 0));
    EXPECT_EQ(Thread::liveThreadCount(), liveBefore + 1);
}

TEST(Thread, LimitedTriesGiveUpOnAThreadThatIgnoresTheRequest)
{
    std::atomic<bool> release { false };
    {
        StubbornThread thread(release);
        ASSERT_TRUE(thread.start());
        EXPECT_FALSE(thread.requestStop(5, 3));
        EXPECT_TRUE(thread.stopRequested());
        EXPECT_TRUE(thread.isRunning());
        release = true;
        EXPECT_TRUE(thread.requestStop(5, 0));
    }
    // Destroying a running thread waits for it rather than leaving it to
    // touch a freed object.
    release = false;
    size_t liveBefore = Thread::liveThreadCount();
    auto thread = std::make_unique<StubbornThread>(release);
    ASSERT_TRUE(thread->start());
    std::thread releaser([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        release = true;
    });
    thread.reset();
    EXPECT_TRUE(release);
    releaser.join();
    EXPECT_EQ(Thread::liveThreadCount(), liveBefore);
}

TEST(Thread, DestroyingAThreadFromItsOwnRunLetsItGo)
{
    size_t liveBefore = Thread::liveThreadCount();
    std::atomic<bool> done { false };
    auto* thread = new SelfDeletingThread(done);
    ASSERT_TRUE(thread->start());
    ASSERT_TRUE(waitFor([&] { return done.load(); }));
    ASSERT_TRUE(waitFor([&] { return Thread::liveThreadCount() == liveBefore; }));
}

TEST(Thread, ManyShortThreadsComeAndGo)
{
    size_t liveBefore = Thread::liveThreadCount();
    std::vector<std::unique_ptr<CountingThread>> threads;
    for (int i = 0; i < 16; ++i) {
        threads.push_back(std::make_unique<CountingThread>());
        ASSERT_TRUE(threads.back()->start());
    }
    // Destroyed at once, some perhaps before they got going.
    threads.clear();
    EXPECT_EQ(Thread::liveThreadCount(), liveBefore);
}

namespace {

void writeCleanupMark()
{
    static const char text[] = "cleanup\n";
    ssize_t ignored = ::write(STDOUT_FILENO, text, sizeof text - 1);
    (void)ignored;
}

}

TEST(Thread, ExitProcessPrintsRunsHookThenCleanupsAndExitsWithTheCode)
{
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    std::fflush(stdout);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        dup2(pipeEnds[1], STDOUT_FILENO);
        close(pipeEnds[0]);
        Thread::setShutdownHook([] {
            std::printf("hook\n");
            std::fflush(stdout);
        });
        Thread::addExitCleanup(writeCleanupMark);
        Thread::addExitCleanup(writeCleanupMark);
        Thread::exitProcess(3);
    }
    close(pipeEnds[1]);
    std::string output;
    char buffer[256];
    ssize_t got;
    while ((got = read(pipeEnds[0], buffer, sizeof buffer)) > 0)
        output.append(buffer, size_t(got));
    close(pipeEnds[0]);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 3);
    EXPECT_EQ(output, "\nexiting with code 3\nhook\ncleanup\n");
}

TEST(UniqueId, LowerCaseUuidTextWithReplacedSeparators)
{
    String id;
    makeUniqueId(id, u'_');
    ASSERT_EQ(id.size(), 36u);
    for (size_t i = 0; i < id.size(); ++i) {
        char16_t c = id[i];
        if (i == 8 || i == 13 || i == 18 || i == 23)
            EXPECT_EQ(c, u'_') << i;
        else
            EXPECT_TRUE((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f')) << i;
    }
    String kept;
    makeUniqueId(kept, u'-');
    EXPECT_EQ(kept[8], u'-');

    std::set<String> seen;
    for (int i = 0; i < 10000; ++i) {
        makeUniqueId(id, u'_');
        seen.insert(id);
    }
    EXPECT_EQ(seen.size(), 10000u);
}
