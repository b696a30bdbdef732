#pragma once

#include "tests/support/TemporaryFolder.h"

#include <chrono>
#include <string>
#include <sys/types.h>
#include <vector>

namespace lumavine::test {

// One of the Python servers in tests/net/servers, run with Debian's python3.
// It listens on an ephemeral port of 127.0.0.1 and prints the port first.
class TestServer {
public:
    TestServer(const std::string& script, const std::vector<std::string>& arguments);
    ~TestServer();
    TestServer(const TestServer&) = delete;
    TestServer& operator=(const TestServer&) = delete;

    // 0 when the server did not start.
    int port() const { return m_port; }

private:
    pid_t m_pid = -1;
    int m_port = 0;
};

std::string serverScript(const std::string& name);
// The same bytes for the same seed, so an upload can be checked against them.
std::string randomBytes(size_t count, unsigned seed);
// Runs a command through the shell; true when it exits 0.
bool runCommand(const std::string& command);

// The FTP upload benchmark builds the server on its own and knows the
// temporary folder by this name.
using TempDir = TemporaryFolder;

// Seconds since it was made, to show that a call kept to its time limit.
class Stopwatch {
public:
    double seconds() const { return std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count(); }

private:
    std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
};

}
