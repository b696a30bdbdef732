#include "net/HttpFetch.h"

#include "net/HttpConnection.h"
#include "net/HttpResponseParser.h"
#include "net/HttpUrl.h"

namespace lumavine {

namespace {

enum class Outcome { Success, Redirect, Failure };

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

// One request and its response.
Outcome fetchOnce(const HttpUrl& url, const FetchLimits& limits, std::string& body, HttpUrl& redirectTo)
{
    HttpConnection connection;
    if (!connection.open(url, limits.timeoutMs) || !connection.writeAll(requestFor(url)))
        return Outcome::Failure;

    HttpResponseParser parser(limits.maxBodyBytes);
    char block[4096];
    while (parser.state() == HttpResponseParser::Incomplete) {
        long got = connection.read(block, sizeof block);
        if (got < 0)
            return Outcome::Failure;
        if (got == 0)
            parser.finish();
        else
            parser.feed(block, static_cast<size_t>(got));
    }
    connection.close();
    if (parser.state() != HttpResponseParser::Complete)
        return Outcome::Failure;

    int status = parser.status();
    if (isRedirect(status)) {
        const std::string* location = parser.header("Location");
        if (!location || !url.resolve(*location, redirectTo))
            return Outcome::Failure;
        return Outcome::Redirect;
    }
    if (!isSuccess(status))
        return Outcome::Failure;
    body = parser.takeBody();
    return Outcome::Success;
}

}

bool fetchUrl(const std::string& url, std::string& body, const FetchLimits& limits)
{
    body.clear();
    HttpUrl current;
    if (url.empty() || !HttpUrl::parse(url, current))
        return false;
    for (int redirects = 0;; ++redirects) {
        HttpUrl next;
        switch (fetchOnce(current, limits, body, next)) {
        case Outcome::Success:
            return true;
        case Outcome::Failure:
            body.clear();
            return false;
        case Outcome::Redirect:
            if (redirects >= limits.maxRedirects)
                return false;
            current = std::move(next);
            break;
        }
    }
}

}
