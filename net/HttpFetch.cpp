#include "net/HttpFetch.h"

#include "net/HttpConnection.h"
#include "net/HttpResponseParser.h"
#include "net/HttpUrl.h"

#include <algorithm>
#include <chrono>
#include <climits>

namespace lumavine {

namespace {

enum class Outcome { Success, Redirect, Failure };

using Clock = std::chrono::steady_clock;

long long millisecondsLeft(Clock::time_point deadline)
{
    return std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
}

std::string requestFor(const HttpUrl& url)
{
    return "GET " + url.path + " HTTP/1.1\r\n" + "Host: " + url.hostHeader() + "\r\n"
        + "User-Agent: Lumavine\r\n"
          "Accept: */*\r\n"
          "Accept-Encoding: identity\r\n"
          "Connection: close\r\n"
          "\r\n";
}

bool isRedirect(int status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

bool isSuccess(int status)
{
    return (status >= 200 && status <= 206) || status == 304 || status == 305;
}

// One request and its response, to be done by the deadline.
Outcome fetchOnce(const HttpUrl& url, const FetchLimits& limits, Clock::time_point deadline, std::string& body,
    HttpUrl& redirectTo, std::string& error)
{
    HttpConnection connection;
    if (!connection.open(url, limits.timeoutMs)) {
        error = (url.isTls() ? "cannot connect securely to " : "cannot connect to ") + url.hostHeader();
        return Outcome::Failure;
    }
    if (!connection.writeAll(requestFor(url))) {
        error = "cannot send the request to " + url.hostHeader();
        return Outcome::Failure;
    }

    // Interim answers and header lines that keep coming make every read a
    // success; the head as a whole has one step's time.
    Clock::time_point headDeadline = Clock::now() + std::chrono::milliseconds(limits.timeoutMs);
    HttpResponseParser parser(limits.maxBodyBytes);
    // Which deadline is the nearer now, and how it is reported when passed.
    auto nearestDeadline = [&] { return parser.readingHead() ? std::min(headDeadline, deadline) : deadline; };
    auto passedDeadline = [&] {
        return parser.readingHead() && headDeadline <= deadline
            ? "the head of the answer did not come whole within " + std::to_string(limits.timeoutMs) + " ms"
            : "the fetch took longer than " + std::to_string(limits.totalLimitMs()) + " ms";
    };
    char block[4096];
    while (parser.state() == HttpResponseParser::Incomplete) {
        long long left = millisecondsLeft(nearestDeadline());
        if (left <= 0) {
            error = passedDeadline();
            return Outcome::Failure;
        }
        int timeoutMs = static_cast<int>(std::min<long long>(left, limits.timeoutMs));
        long got = connection.read(block, sizeof block, timeoutMs);
        if (got < 0) {
            error = millisecondsLeft(nearestDeadline()) <= 0
                ? passedDeadline()
                : "no bytes came within " + std::to_string(timeoutMs) + " ms, or the connection failed";
            return Outcome::Failure;
        }
        if (got == 0)
            parser.finish();
        else
            parser.feed(block, static_cast<size_t>(got));
    }
    connection.close();
    if (parser.state() != HttpResponseParser::Complete) {
        error = parser.error();
        return Outcome::Failure;
    }

    int status = parser.status();
    if (isRedirect(status)) {
        const std::string* location = parser.header("Location");
        if (!location || !url.resolve(*location, redirectTo)) {
            error = "the redirect (" + std::to_string(status) + ") has no usable location";
            return Outcome::Failure;
        }
        return Outcome::Redirect;
    }
    if (!isSuccess(status)) {
        error = "the server answered " + std::to_string(status);
        return Outcome::Failure;
    }
    body = parser.takeBody();
    return Outcome::Success;
}

}

int FetchLimits::totalLimitMs() const
{
    if (totalTimeoutMs > 0)
        return totalTimeoutMs;
    return static_cast<int>(std::min<long long>(12LL * std::max(timeoutMs, 0), INT_MAX));
}

bool fetchUrl(const std::string& url, std::string& body, const FetchLimits& limits)
{
    std::string error;
    return fetchUrl(url, body, limits, error);
}

bool fetchUrl(const std::string& url, std::string& body, const FetchLimits& limits, std::string& error)
{
    body.clear();
    error.clear();
    HttpUrl current;
    if (url.empty() || !HttpUrl::parse(url, current)) {
        error = "not an http or https location: " + url;
        return false;
    }
    Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(limits.totalLimitMs());
    for (int redirects = 0;; ++redirects) {
        HttpUrl next;
        switch (fetchOnce(current, limits, deadline, body, next, error)) {
        case Outcome::Success:
            return true;
        case Outcome::Failure:
            body.clear();
            return false;
        case Outcome::Redirect:
            if (redirects >= limits.maxRedirects) {
                error = "more than " + std::to_string(limits.maxRedirects) + " redirects";
                return false;
            }
            current = std::move(next);
            break;
        }
    }
}

}
