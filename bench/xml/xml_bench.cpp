// Reads and writes a project-shaped XML file of about 20 MB and compares the
// read with `xmllint --noout` on the same file in the same run. The machine
// is shared, so the two reads take turns over several rounds and the medians
// are compared: a burst of someone else's work then slows both alike.
//
//   build/bench/xml/xml_bench [megabytes] [rounds]

#include "xml/Document.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

using namespace lumavine;
using Clock = std::chrono::steady_clock;

namespace {

std::string projectShapedText(size_t targetBytes)
{
    std::string out = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n<project version=\"1\">\r\n       "
                      "<name>Benchmark</name>\r\n";
    int page = 0;
    while (out.size() < targetBytes) {
        out += "       <page id=\"page" + std::to_string(page) + "\" sort=\"" + std::to_string(page) + "\">\r\n";
        out += "              <label>Page " + std::to_string(page) + "</label>\r\n";
        out += "              <background>#ffffff</background>\r\n";
        for (int node = 0; node < 200; ++node) {
            out += "              <node kind=\"rect\" id=\"n" + std::to_string(page) + "_" + std::to_string(node)
                + "\">\r\n";
            out += "                     <name>Shape " + std::to_string(node) + "</name>\r\n";
            out += "                     <points>10,20 110,20 110,80 10,80</points>\r\n";
            out += "                     <style>border-width:1;border-color:#000000;fill:#c0c0ff</style>\r\n";
            out += "                     <caption>Caption &amp; text \xe9</caption>\r\n";
            out += "                     <onmousedown>javascript:show_picture('frame','files/a.jpg')</onmousedown>\r\n";
            out += "                     <visible>true</visible>\r\n";
            out += "              </node>\r\n";
        }
        out += "       </page>\r\n";
        ++page;
    }
    out += "</project>\r\n";
    return out;
}

template<typename F>
double seconds(F work)
{
    auto start = Clock::now();
    work();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

}

int main(int argc, char** argv)
{
    size_t megabytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 20;
    std::string folder = (std::filesystem::temp_directory_path() / "lumavine-xml-bench-XXXXXX").string();
    if (!mkdtemp(folder.data()))
        return 1;
    std::string input = folder + "/project.xml";
    std::string output = folder + "/written.xml";
    {
        std::ofstream out(input, std::ios::binary);
        out << projectShapedText(megabytes * 1000 * 1000);
    }
    double size = double(std::filesystem::file_size(input)) / 1e6;

    int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 7;
    std::string lint = "xmllint --noout '" + input + "'";
    Document document;
    std::vector<double> reads, lints, writes;
    for (int round = 0; round < rounds; ++round) {
        // Reading into the same document also frees the previous tree, as
        // opening a project again does; xmllint frees its tree before it ends.
        reads.push_back(seconds([&] { document.load(String(input)); }));
        lints.push_back(seconds([&] {
            if (std::system(lint.c_str()) != 0)
                std::fprintf(stderr, "xmllint failed\n");
        }));
    }
    for (int round = 0; round < rounds; ++round)
        writes.push_back(seconds([&] { document.save(String(output)); }));
    size_t nodes = document.ownedNodeCount();
    bool same = std::filesystem::file_size(output) > 0;
    double read = median(reads);
    double write = median(writes);
    double xmllint = median(lints);

    std::printf("file: %.1f MB, %zu nodes, %d rounds, medians\n", size, nodes, rounds);
    std::printf("read:    %.3f s  %.1f MB/s\n", read, size / read);
    std::printf("write:   %.3f s  %.1f MB/s%s\n", write, size / write, same ? "" : " (no output!)");
    std::printf("xmllint: %.3f s  %.1f MB/s\n", xmllint, size / xmllint);
    std::printf("read speed / xmllint speed: %.2f\n", xmllint / read);
    std::filesystem::remove_all(folder);
    return 0;
}
