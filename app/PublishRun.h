#pragma once

#include "core/String.h"
#include "net/Ftp.h"
#include "net/FtpConnections.h"

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace lumavine {

// Where a project is published and what goes with its pages.
struct PublishSettings {
    enum Flags : unsigned {
        ContentFiles = 1,
        CustomFiles = 2,
    };

    // Names the record of what was sent, one per connection and project.
    String connectionName;
    String host;
    int port = 21;
    String user;
    String password;
    String root;
    unsigned flags = ContentFiles | CustomFiles;
    FtpSecurity security;
    // Files whose size and digest match what the last run sent there are
    // skipped.
    bool incremental = false;

    static PublishSettings fromConnection(const FtpConnection& connection, unsigned flags);
};

// One page's files, written from the model before the run starts (drawing
// the picture needs the main thread); the run only uploads them.
struct PublishPage {
    String label;
    String htmlFile;
    // Empty when the page has no picture file.
    String pictureFile;
};

// The project as the run sees it: its folders and name.
struct PublishProject {
    String directory;
    String contentDirectory;
    String name;
};

// One publish run: connects, uploads the pages, then the content files and
// the custom files as the flags say, with retries, status lines and a trace
// in the log file. It works on whichever thread calls run(); the status
// lines and the password prompt are called on that thread.
class PublishRun {
public:
    PublishRun(PublishSettings settings, PublishProject project, std::vector<PublishPage> pages, std::string logFile);
    ~PublishRun();
    PublishRun(const PublishRun&) = delete;
    PublishRun& operator=(const PublishRun&) = delete;

    void setStatusSink(std::function<void(const String&)> sink);
    // Asked when the server wants a password and the connection has none;
    // nothing declines and the run ends.
    void setPasswordPrompt(std::function<std::optional<String>()> prompt);
    // How many seconds a reply may take, and the pause between two attempts
    // at one file; tests shorten them.
    void setReplyAttempts(int seconds);
    void setRetryPauseMs(int milliseconds);
    // How many times one file is tried before the run gives up; five
    // unless a test wants it shorter.
    void setUploadAttempts(int attempts);

    // From any thread; the run stops when the current upload ends.
    void cancel() { m_cancel.store(true); }
    bool cancelRequested() const { return m_cancel.load(); }

    // True only when every file arrived (or was known to be there unchanged)
    // and the run was not cancelled.
    bool run();

    // After the run: files sent, files skipped as unchanged, and the reason
    // it failed (empty on success).
    int uploadedFiles() const { return m_uploaded; }
    int skippedFiles() const { return m_skipped; }
    const String& failure() const { return m_failure; }
    // The record of what this connection last received of this project,
    // kept beside the project file when publishing incrementally.
    String manifestPath() const;

    // "12,345": decimal with a comma between groups of three digits.
    static String groupedNumber(long long value);
    // root + "/" + project name, every blank made "_".
    static String remoteProjectDirectory(const String& root, const String& projectName);

private:
    struct Impl;

    std::unique_ptr<Impl> m_impl;
    std::atomic<bool> m_cancel { false };
    int m_uploaded = 0;
    int m_skipped = 0;
    String m_failure;
};

}
