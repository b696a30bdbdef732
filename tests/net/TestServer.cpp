#include "TestServer.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <poll.h>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

namespace lumavine::test {

std::string serverScript(const std::string& name)
{
    return std::string(LUMAVINE_NET_SERVERS) + "/" + name;
}

std::string randomBytes(size_t count, unsigned seed)
{
    std::mt19937 generator(seed);
    std::string bytes(count, '\0');
    for (char& c : bytes)
        c = static_cast<char>(generator() & 0xff);
    return bytes;
}

TestServer::TestServer(const std::string& script, const std::vector<std::string>& arguments)
{
    int output[2];
    if (pipe(output) != 0)
        return;
    m_pid = fork();
    if (m_pid == 0) {
        dup2(output[1], STDOUT_FILENO);
        close(output[0]);
        close(output[1]);
        // Its own process group, so that the whole server goes at the end.
        setpgid(0, 0);
        std::vector<std::string> words { "/usr/bin/python3", serverScript(script) };
        words.insert(words.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (std::string& word : words)
            argv.push_back(word.data());
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(output[1]);
    std::string line;
    pollfd waiting { output[0], POLLIN, 0 };
    while (line.find('\n') == std::string::npos && poll(&waiting, 1, 20000) > 0) {
        char c[64];
        ssize_t got = read(output[0], c, sizeof c);
        if (got <= 0)
            break;
        line.append(c, static_cast<size_t>(got));
    }
    close(output[0]);
    m_port = std::atoi(line.c_str());
}

TestServer::~TestServer()
{
    if (m_pid > 0) {
        kill(m_pid, SIGTERM);
        int status;
        while (waitpid(m_pid, &status, 0) < 0 && errno == EINTR) { }
    }
}

bool runCommand(const std::string& command)
{
    int status = std::system(command.c_str());
    return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}
