#include "generate/PageFingerprints.h"

#include "core/AtomicFile.h"
#include "core/PathInfo.h"
#include "page/Page.h"
#include "xml/Document.h"
#include "xml/Elements.h"
#include "xml/XmlFile.h"

#include <QCryptographicHash>
#include <charconv>
#include <fstream>
#include <sstream>

namespace lumavine {

namespace {

constexpr std::string_view firstLine = "lumavine page fingerprints 1";

// Texts go one to a field: the characters that would end a field or a line
// are written as %XX.
std::string escaped(const String& text)
{
    std::string out;
    for (char c : text.toNarrow()) {
        if (c == '%' || c == '\t' || c == '\n' || c == '\r') {
            static constexpr char hex[] = "0123456789ABCDEF";
            out += '%';
            out += hex[(static_cast<unsigned char>(c) >> 4) & 0xF];
            out += hex[static_cast<unsigned char>(c) & 0xF];
        } else {
            out += c;
        }
    }
    return out;
}

bool unescaped(std::string_view text, String& result)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size())
            return false;
        unsigned value = 0;
        auto [end, error] = std::from_chars(text.data() + i + 1, text.data() + i + 3, value, 16);
        if (error != std::errc() || end != text.data() + i + 3)
            return false;
        out += static_cast<char>(value);
        i += 2;
    }
    result = String::fromNarrowLossless(out);
    return true;
}

std::vector<std::string_view> fields(std::string_view line)
{
    std::vector<std::string_view> parts;
    for (;;) {
        size_t tab = line.find('\t');
        parts.push_back(line.substr(0, tab));
        if (tab == std::string_view::npos)
            return parts;
        line.remove_prefix(tab + 1);
    }
}

bool number(std::string_view text, long long& value)
{
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

std::string stampText(const FileStamp& stamp)
{
    return std::to_string(stamp.size) + '\t' + std::to_string(stamp.modified);
}

bool readStamp(std::string_view size, std::string_view modified, FileStamp& stamp)
{
    return number(size, stamp.size) && number(modified, stamp.modified);
}

// A file that cannot be stamped now, or whose stamp could not be taken
// then, is never taken for unchanged.
bool unchanged(const FileStamp& then)
{
    if (then.size < 0)
        return false;
    return FileStamp::of(then.path) == then;
}

String fileNameOf(const String& path)
{
    return PathInfo(path).fileName();
}

}

PageFingerprints::PageFingerprints(String path, String build, String contentDirectory)
    : m_path(std::move(path))
    , m_build(std::move(build))
    , m_contentDirectory(std::move(contentDirectory))
{
}

bool PageFingerprints::load()
{
    m_records.clear();
    std::ifstream in(m_path.toNarrow(), std::ios::binary);
    if (!in)
        return false;
    std::ostringstream whole;
    whole << in.rdbuf();
    if (in.bad())
        return false;
    const std::string text = whole.str();

    std::map<String, Record> records;
    std::istringstream lines(text);
    std::string line;
    auto next = [&lines, &line] { return static_cast<bool>(std::getline(lines, line)); };
    String value;
    if (!next() || line != firstLine)
        return false;
    if (!next() || !line.starts_with("build\t") || !unescaped(line.substr(6), value) || value != m_build)
        return false;
    if (!next() || !line.starts_with("content\t") || !unescaped(line.substr(8), value) || value != m_contentDirectory)
        return false;
    for (;;) {
        if (!next())
            return false; // cut short: no end line
        std::vector<std::string_view> parts = fields(line);
        if (parts[0] == "end") {
            long long count = 0;
            if (parts.size() != 2 || !number(parts[1], count) || count != static_cast<long long>(records.size()))
                return false;
            break;
        }
        long long sources = 0;
        String htmlName;
        String pictureName;
        Record record;
        if (parts[0] != "page" || parts.size() != 10 || !unescaped(parts[1], htmlName) || htmlName.empty()
            || !readStamp(parts[3], parts[4], record.html) || !unescaped(parts[5], pictureName)
            || !readStamp(parts[7], parts[8], record.picture) || !number(parts[9], sources) || sources < 0)
            return false;
        record.htmlDigest = std::string(parts[2]);
        record.html.path = m_contentDirectory + u"/" + htmlName;
        record.pictureDigest = std::string(parts[6]);
        if (!pictureName.empty())
            record.picture.path = m_contentDirectory + u"/" + pictureName;
        for (long long i = 0; i < sources; ++i) {
            if (!next())
                return false;
            std::vector<std::string_view> source = fields(line);
            FileStamp stamp;
            if (source[0] != "source" || source.size() != 4 || !readStamp(source[1], source[2], stamp)
                || !unescaped(source[3], stamp.path))
                return false;
            record.sources.push_back(std::move(stamp));
        }
        records[htmlName] = std::move(record);
    }
    m_records = std::move(records);
    return true;
}

bool PageFingerprints::save() const
{
    std::string out(firstLine);
    out += "\nbuild\t" + escaped(m_build) + "\ncontent\t" + escaped(m_contentDirectory) + '\n';
    for (const auto& [name, record] : m_records) {
        out += "page\t" + escaped(name) + '\t' + record.htmlDigest + '\t' + stampText(record.html) + '\t'
            + escaped(record.picture.path.empty() ? String() : fileNameOf(record.picture.path)) + '\t'
            + record.pictureDigest + '\t' + stampText(record.picture) + '\t' + std::to_string(record.sources.size())
            + '\n';
        for (const FileStamp& source : record.sources)
            out += "source\t" + stampText(source) + '\t' + escaped(source.path) + '\n';
    }
    out += "end\t" + std::to_string(m_records.size()) + '\n';
    return writeFileAtomically(m_path.toNarrow(), out);
}

namespace {

// Each part is followed by its length, so that no two lists of parts hash
// alike.
class Digest {
public:
    Digest() : m_hash(QCryptographicHash::Blake2b_256) { }
    Digest& add(std::string_view bytes)
    {
        m_hash.addData(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
        const std::string length = '\0' + std::to_string(bytes.size()) + '\0';
        m_hash.addData(QByteArrayView(length.data(), static_cast<qsizetype>(length.size())));
        return *this;
    }
    Digest& add(std::u16string_view text)
    {
        return add(std::string_view(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(char16_t)));
    }
    std::string hex() const { return m_hash.result().toHex().toStdString(); }

private:
    QCryptographicHash m_hash;
};

}

std::string PageFingerprints::modelDigest(Page& page) const
{
    // As the project file holds it: one level in, in the file's encoding.
    Document document(String(u"page"));
    page.writeXml(document.documentElement());
    String xml;
    document.documentElement()->writeXml(xml, 1);
    return modelDigest(page, encodeFileText(xml, false));
}

std::string PageFingerprints::modelDigest(const Page& page, std::string_view pageText) const
{
    return Digest().add(m_build).add(page.imageType()).add(std::to_string(page.imageQuality())).add(pageText).hex();
}

std::string PageFingerprints::htmlDigest(
    const std::string& modelDigest, std::u16string_view shared, const String& picturePath) const
{
    return Digest().add(modelDigest).add(shared).add(picturePath).hex();
}

bool PageFingerprints::pictureUpToDate(
    const String& htmlPath, const String& picturePath, const std::string& digest) const
{
    const Record* record = find(htmlPath);
    if (!record || record->pictureDigest.empty() || record->pictureDigest != digest
        || fileNameOf(record->picture.path) != fileNameOf(picturePath) || !unchanged(record->picture))
        return false;
    for (const FileStamp& source : record->sources) {
        if (!unchanged(source))
            return false;
    }
    return true;
}

bool PageFingerprints::htmlUpToDate(const String& htmlPath, const std::string& digest) const
{
    const Record* record = find(htmlPath);
    return record && record->htmlDigest == digest && unchanged(record->html);
}

PageFingerprints::Record& PageFingerprints::record(const String& htmlPath)
{
    return m_records[fileNameOf(htmlPath)];
}

const PageFingerprints::Record* PageFingerprints::find(const String& htmlPath) const
{
    auto found = m_records.find(fileNameOf(htmlPath));
    return found == m_records.end() ? nullptr : &found->second;
}

}
