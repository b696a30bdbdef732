#pragma once

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

// A fresh directory under the system's temporary folder, removed at the end.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return m_path; }
    std::string file(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

std::string serverScript(const std::string& name);
std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& bytes);
// Runs a command through the shell; true when it exits 0.
bool runCommand(const std::string& command);

// Seconds since it was made, to show that a call kept to its time limit.
class Stopwatch {
public:
    double seconds() const { return std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count(); }

private:
    std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
};

}
