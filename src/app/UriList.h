#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// The paths of a dropped text/uri-list (one URI a line, "#" lines are comments), as the bytes they
// name: each %XX becomes the byte it stands for, UTF-8 or not, and "+" stays a plus sign. File URIs
// of this machine ("file:///", "file://localhost/", "file:/") and bare absolute paths are taken;
// other hosts and schemes, and names that would hold a NUL byte, are left out. No UI; any thread.
namespace UriList
{
    std::vector<std::string> filePaths (const std::string& uriList);
}

// Parses dropped lists on its "DropList" thread, so that a list of any size leaves the window
// responsive. Results come back on the message thread in the order the lists were given.
//
// Threads: construct, destroy and call parse on the message thread, where the callbacks run too
// (never after the parser is gone). The thread starts with the first list.
class UriListParser final
{
public:
    using Callback = std::function<void (std::vector<std::string>)>;

    UriListParser() = default;
    ~UriListParser();

    void parse (std::string uriList, Callback done);

private:
    void run();

    std::mutex lock;
    std::condition_variable wake;
    std::deque<std::pair<std::string, Callback>> jobs;
    bool quit = false;
    std::shared_ptr<bool> alive = std::make_shared<bool> (true);
    std::thread worker;

    UriListParser (const UriListParser&) = delete;
    UriListParser& operator= (const UriListParser&) = delete;
};
