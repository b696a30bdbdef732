#include "app/PublishRun.h"

#include "app/PublishManifest.h"
#include "core/Directory.h"
#include "core/PathInfo.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <thread>

namespace lumavine {

namespace {

// How one file ended: not there, there and confirmed (SIZE or the server's
// final reply), or taken as sent without anyone saying so.
enum class Arrival { None, Confirmed, Unconfirmed };

String oneLine(String text)
{
    text.replaceAnyOf(u"\r\n", u' ');
    text.trim();
    return text;
}

}

PublishSettings PublishSettings::fromConnection(const FtpConnection& connection, unsigned flags)
{
    PublishSettings settings;
    settings.connectionName = connection.name;
    settings.host = connection.host;
    settings.port = connection.port;
    settings.user = connection.user;
    settings.password = connection.password;
    settings.root = connection.root;
    settings.flags = flags;
    settings.security.tls = connection.tls;
    settings.security.certificateFile = connection.certificateFile.toNarrow();
    settings.incremental = connection.incremental;
    return settings;
}

struct PublishRun::Impl {
    Impl(PublishRun& owner, PublishSettings settings, PublishProject project, std::vector<PublishPage> pages,
        std::string logFile)
        : owner(owner)
        , settings(std::move(settings))
        , project(std::move(project))
        , pages(std::move(pages))
        , logFile(std::move(logFile))
    {
    }

    bool run();
    bool publishPages();
    bool publishContentFiles();
    bool publishCustomFiles();
    // One file: skipped when the record says it is there already, else sent
    // with retries; recorded when it is known to have arrived whole.
    bool publishFile(const String& localPath, const String& recordPath, const String& remoteName);
    Arrival uploadWithRetries(const String& localPath, const String& remoteName, long long size);
    // After an upload whose final reply never came: whether the server has
    // all of it, as far as SIZE can tell.
    Arrival checkArrival(const String& remoteName, long long size);
    void saveManifest();

    void status(const String& line)
    {
        if (statusSink)
            statusSink(line);
    }
    void fail(const String& line)
    {
        status(line);
        if (owner.m_failure.empty())
            owner.m_failure = line;
    }
    void pause() const
    {
        if (retryPauseMs > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(retryPauseMs));
    }

    PublishRun& owner;
    PublishSettings settings;
    PublishProject project;
    std::vector<PublishPage> pages;
    std::string logFile;
    std::function<void(const String&)> statusSink;
    std::function<std::optional<String>()> passwordPrompt;
    int replyAttempts = 5;
    int retryPauseMs = 1000;
    int uploadAttempts = 5;

    std::unique_ptr<Ftp> ftp;
    std::optional<PublishManifest> manifest;
    String remoteDirectory;
    bool manifestUnwritable = false;
};

PublishRun::PublishRun(
    PublishSettings settings, PublishProject project, std::vector<PublishPage> pages, std::string logFile)
    : m_impl(
        std::make_unique<Impl>(*this, std::move(settings), std::move(project), std::move(pages), std::move(logFile)))
{
}

PublishRun::~PublishRun() = default;

void PublishRun::setStatusSink(std::function<void(const String&)> sink)
{
    m_impl->statusSink = std::move(sink);
}

void PublishRun::setPasswordPrompt(std::function<std::optional<String>()> prompt)
{
    m_impl->passwordPrompt = std::move(prompt);
}

void PublishRun::setReplyAttempts(int seconds)
{
    m_impl->replyAttempts = seconds;
}

void PublishRun::setRetryPauseMs(int milliseconds)
{
    m_impl->retryPauseMs = milliseconds;
}

void PublishRun::setUploadAttempts(int attempts)
{
    m_impl->uploadAttempts = std::max(attempts, 1);
}

String PublishRun::manifestPath() const
{
    return PublishManifest::pathFor(m_impl->project.directory, m_impl->settings.connectionName);
}

bool PublishRun::run()
{
    m_uploaded = 0;
    m_skipped = 0;
    m_failure.clear();
    bool finished = m_impl->run();
    if (!finished && m_failure.empty())
        m_failure = String(u"Publishing did not finish");
    return finished && m_failure.empty();
}

String PublishRun::groupedNumber(long long value)
{
    String text = String::number(value);
    text.formatThousands();
    return text;
}

String PublishRun::remoteProjectDirectory(const String& root, const String& projectName)
{
    String directory = root + u"/" + projectName;
    directory.replaceChar(u' ', u'_');
    return directory;
}

bool PublishRun::Impl::run()
{
    // The trace of this run only; a log that cannot be made leaves the run
    // without a trace, not without a publish.
    std::ofstream log;
    if (!logFile.empty()) {
        log.open(logFile, std::ios::binary | std::ios::trunc);
        if (!log)
            status(u"Cannot write the log file " + String(logFile));
    }
    ftp = std::make_unique<Ftp>(8192);
    ftp->setAttempts(replyAttempts);
    ftp->setTrace(log.is_open() ? &log : nullptr);
    ftp->setSecurity(settings.security);
    ftp->setPasswordPrompt(passwordPrompt);

    remoteDirectory = remoteProjectDirectory(settings.root, project.name);
    const String manifestPath = PublishManifest::pathFor(project.directory, settings.connectionName);
    if (settings.incremental) {
        manifest.emplace(
            manifestPath, PublishManifest::Target { settings.host, settings.port, settings.user, remoteDirectory });
        manifest->load();
    } else {
        // What a run without the record sends makes an old record wrong.
        PathInfo old(manifestPath);
        if (old.exists())
            old.remove();
    }

    if (!ftp->connect(settings.user, settings.password, settings.host, settings.port)) {
        String reason = oneLine(ftp->errorText());
        if (reason.empty())
            reason = String(u"no answer from the server");
        fail(u"Cannot connect to: " + settings.host + u":" + String::number(settings.port) + u", " + reason);
        ftp.reset();
        return false;
    }
    ftp->setBinary(true);
    status(u"Publishing to " + settings.host);
    // The folder may be there from an earlier run.
    ftp->makeDirectory(remoteDirectory);
    bool ok = ftp->changeDirectory(remoteDirectory);
    if (!ok)
        fail(u"Cannot change to the remote directory " + remoteDirectory + u", " + oneLine(ftp->replyText()));
    ok = ok && publishPages();
    if (ok && (settings.flags & PublishSettings::ContentFiles))
        ok = publishContentFiles();
    if (ok && (settings.flags & PublishSettings::CustomFiles))
        ok = publishCustomFiles();
    saveManifest();
    status(u"Done publishing to " + settings.host);
    ftp.reset();
    return ok;
}

bool PublishRun::Impl::publishPages()
{
    for (const PublishPage& page : pages) {
        status(u"Publishing page: " + page.label);
        String htmlName = PathInfo(page.htmlFile).fileName();
        bool sent = publishFile(page.htmlFile, htmlName, htmlName);
        if (sent && !page.pictureFile.empty()) {
            String pictureName = PathInfo(page.pictureFile).fileName();
            sent = publishFile(page.pictureFile, pictureName, pictureName);
        }
        saveManifest();
        if (!sent)
            return false;
        status(u"Done publishing page: " + page.label);
    }
    return true;
}

bool PublishRun::Impl::publishContentFiles()
{
    const String name(u"files");
    ftp->makeDirectory(name);
    if (!ftp->changeDirectory(name)) {
        fail(u"Cannot change to the remote directory " + name + u", " + oneLine(ftp->replyText()));
        return false;
    }
    bool ok = true;
    Directory listing(project.contentDirectory + u"/" + name, nullptr, Directory::FilesOnly | Directory::Sorted);
    for (PathInfo* file : listing.entries()) {
        if (!publishFile(file->location(), name + u"/" + file->fileName(), file->fileName())) {
            ok = false;
            break;
        }
    }
    ftp->changeDirectory(String(u".."));
    saveManifest();
    return ok;
}

bool PublishRun::Impl::publishCustomFiles()
{
    status(String(u"Publishing custom files"));
    if (!ftp->changeDirectory(remoteDirectory)) {
        fail(u"Cannot change to the remote directory " + remoteDirectory + u", " + oneLine(ftp->replyText()));
        return false;
    }
    Directory custom(project.contentDirectory + u"/custom", nullptr, Directory::Sorted);
    if (!PathInfo(custom.path()).isDirectory())
        return true;
    std::vector<std::unique_ptr<Directory>> directories;
    custom.subdirectories(directories, true);
    for (const std::unique_ptr<Directory>& directory : directories) {
        String path;
        PathInfo(directory->path()).relativeTo(project.contentDirectory, path);
        status(u"Publishing directory: " + path);
        ftp->makeDirectory(path);
        for (PathInfo* entry : directory->entries()) {
            if (!entry->isFile())
                continue;
            String remoteName = path + u"/" + entry->fileName();
            if (!publishFile(entry->location(), remoteName, remoteName)) {
                saveManifest();
                return false;
            }
        }
        saveManifest();
        status(u"Done publishing directory: " + path);
    }
    return true;
}

bool PublishRun::Impl::publishFile(const String& localPath, const String& recordPath, const String& remoteName)
{
    PathInfo info(localPath);
    std::optional<FileFingerprint> fingerprint;
    if (manifest) {
        fingerprint = fingerprintFile(localPath);
        if (fingerprint && manifest->matches(recordPath, *fingerprint)) {
            status(u"Unchanged " + info.extension() + u" file, skipped: " + recordPath);
            ++owner.m_skipped;
            return true;
        }
        // From the first byte sent, the old copy there is gone.
        manifest->forget(recordPath);
    }
    long long size = fingerprint ? fingerprint->size : info.size();
    Arrival arrival = uploadWithRetries(localPath, remoteName, size);
    if (arrival == Arrival::None)
        return false;
    if (manifest && fingerprint && arrival == Arrival::Confirmed)
        manifest->record(recordPath, *fingerprint);
    return true;
}

Arrival PublishRun::Impl::uploadWithRetries(const String& localPath, const String& remoteName, long long size)
{
    const String extension = PathInfo(localPath).extension();
    status(u"Send " + extension + u" file, " + groupedNumber(size) + u" bytes");
    for (int attempt = 1;; ++attempt) {
        int result = ftp->sendFile(localPath, remoteName);
        Arrival arrival = Arrival::None;
        if (result == Ftp::SendSuccess)
            arrival = Arrival::Confirmed;
        else if (result == Ftp::SendNoFinalReply)
            arrival = checkArrival(remoteName, size);
        if (arrival != Arrival::None) {
            if (owner.cancelRequested()) {
                fail(String(u"Publish cancelled"));
                return Arrival::None;
            }
            status(u"Send " + extension + u" file succeeded");
            ++owner.m_uploaded;
            return arrival;
        }
        if (attempt >= uploadAttempts) {
            String reason = oneLine(ftp->errorText());
            status(u"Send " + extension + u" file failed, giving up");
            if (owner.m_failure.empty())
                owner.m_failure = u"Send " + extension + u" file failed, giving up: " + localPath
                    + (reason.empty() ? String() : u" (" + reason + u")");
            return Arrival::None;
        }
        status(u"Send " + extension + u" file failed, retrying...");
        if (owner.cancelRequested()) {
            fail(String(u"Publish cancelled"));
            return Arrival::None;
        }
        pause();
        ftp->reconnect();
        pause();
    }
}

Arrival PublishRun::Impl::checkArrival(const String& remoteName, long long size)
{
    // The reply may yet come and be taken for the answer to SIZE; a fresh
    // connection has nothing pending.
    if (!ftp->reconnect())
        return Arrival::Unconfirmed;
    std::optional<long long> remote = ftp->remoteSize(remoteName);
    if (!remote)
        return Arrival::Unconfirmed;
    return *remote == size ? Arrival::Confirmed : Arrival::None;
}

void PublishRun::Impl::saveManifest()
{
    if (!manifest || manifestUnwritable)
        return;
    if (!manifest->save()) {
        manifestUnwritable = true;
        status(u"Cannot write " + manifest->path() + u": every file will be sent again next time");
    }
}

}
