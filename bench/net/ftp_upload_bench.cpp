// Uploads the same files through our FTP client and through lftp to one local
// pyftpdlib server, and prints both times and their ratio.
//
//   ftp_upload_bench [rounds]

#include "../../tests/net/TestServer.h"

#include "net/Ftp.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <random>
#include <string>
#include <vector>

using namespace lumavine;
using namespace lumavine::test;
namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

void makeFiles(const std::string& directory, int count, size_t size, unsigned seed)
{
    fs::create_directories(directory);
    std::mt19937 generator(seed);
    for (int i = 0; i < count; ++i) {
        std::string bytes(size, '\0');
        for (char& c : bytes)
            c = static_cast<char>(generator() & 0xff);
        writeFile(directory + "/file" + std::to_string(i) + ".bin", bytes);
    }
}

std::vector<std::string> filesOf(const std::string& directory)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Seconds for our client to upload every file of the directory into a new
// remote directory; negative when anything failed.
double uploadWithFtp(int port, const std::string& directory, const std::string& remote)
{
    auto start = Clock::now();
    Ftp ftp(8192);
    ftp.setAttempts(5);
    if (std::getenv("LUMAVINE_BENCH_TRACE"))
        ftp.setTrace(&std::cerr);
    if (!ftp.connect(u"ann", u"secret", u"127.0.0.1", port) || !ftp.setBinary(true))
        return -1;
    String remoteName = String::fromLatin1(remote);
    if (!ftp.makeDirectory(remoteName) || !ftp.changeDirectory(remoteName))
        return -1;
    for (const std::string& name : filesOf(directory)) {
        if (ftp.sendFile(String::fromLatin1(directory + "/" + name), String::fromLatin1(name)) != Ftp::SendSuccess)
            return -1;
    }
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double uploadWithLftp(int port, const std::string& directory, const std::string& remote)
{
    std::string command = "lftp -e 'set cmd:interactive false; set ftp:ssl-allow no; set ftp:passive-mode on; "
                          "set mirror:parallel-transfer-count 1; mirror -R "
        + directory + " " + remote + "; quit' -u ann,secret -p " + std::to_string(port) + " ftp://127.0.0.1 >/dev/null";
    auto start = Clock::now();
    if (!runCommand(command))
        return -1;
    return std::chrono::duration<double>(Clock::now() - start).count();
}

bool sameFiles(const std::string& local, const std::string& uploaded)
{
    if (!fs::is_directory(uploaded) || filesOf(local) != filesOf(uploaded))
        return false;
    for (const std::string& name : filesOf(local)) {
        if (readFile(local + "/" + name) != readFile(uploaded + "/" + name))
            return false;
    }
    return true;
}

}

int main(int argc, char** argv)
{
    int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    TempDir local;
    TempDir served;
    makeFiles(local.file("small"), 200, 1024, 1);
    makeFiles(local.file("large"), 5, 5 * 1024 * 1024, 2);

    TestServer server("ftp_server.py", { served.path(), "ann", "secret" });
    if (server.port() <= 0) {
        std::fprintf(stderr, "the FTP server did not start\n");
        return 1;
    }

    struct Case {
        const char* title;
        const char* directory;
    };
    const Case cases[] = { { "200 files of 1 KB", "small" }, { "5 files of 5 MB", "large" } };
    bool allGood = true;
    for (const Case& c : cases) {
        std::string directory = local.file(c.directory);
        double bestOurs = 1e9;
        double bestLftp = 1e9;
        for (int round = 0; round < rounds; ++round) {
            std::string tag = std::string(c.directory) + std::to_string(round);
            double ours = uploadWithFtp(server.port(), directory, "ours-" + tag);
            double theirs = uploadWithLftp(server.port(), directory, "lftp-" + tag);
            bool good = ours >= 0 && theirs >= 0 && sameFiles(directory, served.file("ours-" + tag))
                && sameFiles(directory, served.file("lftp-" + tag));
            std::printf("%-18s round %d: Ftp %.3f s, lftp %.3f s%s\n", c.title, round + 1, ours, theirs,
                good ? "" : "  (upload incomplete or wrong)");
            allGood = allGood && good;
            bestOurs = std::min(bestOurs, ours);
            bestLftp = std::min(bestLftp, theirs);
        }
        std::printf("%-18s best:    Ftp %.3f s, lftp %.3f s, Ftp/lftp %.2f\n", c.title, bestOurs, bestLftp,
            bestOurs / bestLftp);
    }
    return allGood ? 0 : 1;
}
