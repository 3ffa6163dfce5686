#include "app/UriList.h"

#include <juce_events/juce_events.h>

#include <cctype>
#include <cstring>
#include <unistd.h>

namespace UriList
{
namespace
{
int hexValue (char c) noexcept
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool startsWithNoCase (const std::string& text, size_t from, const char* prefix) noexcept
{
    const auto length = std::strlen (prefix);
    if (text.size() - from < length)
        return false;
    for (size_t i = 0; i < length; ++i)
        if (std::tolower ((unsigned char) text[from + i]) != prefix[i])
            return false;
    return true;
}

bool isThisMachine (const std::string& host)
{
    if (host.empty() || (host.size() == 9 && startsWithNoCase (host, 0, "localhost")))
        return true;
    char name[256] = {};
    return ::gethostname (name, sizeof (name) - 1) == 0 && host == name;
}

// The path part of one trimmed line, still escaped; false when the line names no local file.
bool pathPart (const std::string& line, std::string& path)
{
    if (! line.empty() && line.front() == '/')
    {
        path = line;
        return true;
    }

    if (! startsWithNoCase (line, 0, "file:"))
        return false;

    const auto rest = line.substr (5);
    if (rest.compare (0, 2, "//") != 0)
    {
        path = rest;
        return ! path.empty() && path.front() == '/';
    }

    const auto slash = rest.find ('/', 2);
    if (slash == std::string::npos || ! isThisMachine (rest.substr (2, slash - 2)))
        return false;
    path = rest.substr (slash);
    return true;
}

// %XX decoded to its byte; a "%" not followed by two hex digits stands for itself.
std::string unescaped (const std::string& text)
{
    std::string bytes;
    bytes.reserve (text.size());
    for (size_t i = 0; i < text.size(); ++i)
    {
        const int high = text[i] == '%' && i + 2 < text.size() ? hexValue (text[i + 1]) : -1;
        const int low = high >= 0 ? hexValue (text[i + 2]) : -1;
        if (low >= 0)
        {
            bytes += (char) (high * 16 + low);
            i += 2;
        }
        else
        {
            bytes += text[i];
        }
    }
    return bytes;
}
} // namespace

std::vector<std::string> filePaths (const std::string& uriList)
{
    std::vector<std::string> paths;
    for (size_t start = 0; start < uriList.size();)
    {
        auto end = uriList.find_first_of ("\r\n", start);
        if (end == std::string::npos)
            end = uriList.size();

        auto first = start, last = end;
        while (first < last && (uriList[first] == ' ' || uriList[first] == '\t'))
            ++first;
        while (last > first && (uriList[last - 1] == ' ' || uriList[last - 1] == '\t'))
            --last;
        start = end + 1;

        std::string path;
        if (first == last || uriList[first] == '#' || ! pathPart (uriList.substr (first, last - first), path))
            continue;

        // A NUL would end the name early: the path would name another file.
        if (auto bytes = unescaped (path); bytes.find ('\0') == std::string::npos)
            paths.push_back (std::move (bytes));
    }
    return paths;
}
} // namespace UriList

//==============================================================================
UriListParser::~UriListParser()
{
    *alive = false;
    {
        const std::lock_guard<std::mutex> guard (lock);
        quit = true;
    }
    wake.notify_all();
    if (worker.joinable())
        worker.join();
}

void UriListParser::parse (std::string uriList, Callback done)
{
    {
        const std::lock_guard<std::mutex> guard (lock);
        jobs.emplace_back (std::move (uriList), std::move (done));
    }
    if (! worker.joinable())
        worker = std::thread ([this] { run(); });
    wake.notify_one();
}

void UriListParser::run()
{
    juce::Thread::setCurrentThreadName ("DropList");
    for (;;)
    {
        std::unique_lock<std::mutex> guard (lock);
        wake.wait (guard, [this] { return quit || ! jobs.empty(); });
        if (quit)
            return;
        auto job = std::move (jobs.front());
        jobs.pop_front();
        guard.unlock();

        auto paths = std::make_shared<std::vector<std::string>> (UriList::filePaths (job.first));
        job.first.clear();
        juce::MessageManager::callAsync ([isAlive = alive, done = std::move (job.second), paths]
        {
            if (*isAlive)
                done (std::move (*paths));
        });
    }
}
