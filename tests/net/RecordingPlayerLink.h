#pragma once

#include "net/PlayerLink.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace palvina::test {

// What a recorder saw, kept apart from the recorder so that a test can still read it after a
// detached thread has dropped the last reference to the recorder. Events are texts:
// "report <key> <done>/<total>", "notice <kind> <text>", "open <target>".
class LinkRecord {
public:
    void add(std::string event)
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            events_.push_back(std::move(event));
        }
        changed_.notify_all();
    }

    void markReleased()
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            released_ = true;
        }
        changed_.notify_all();
    }

    std::vector<std::string> events() const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return events_;
    }

    // Waits until the recorder has been destroyed, that is until every thread that held it
    // is done with it. False when `timeout` passed first.
    bool waitUntilReleased(std::chrono::milliseconds timeout) const
    {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] { return released_; });
    }

private:
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<std::string> events_;
    bool released_ = false;
};

// A PlayerLink that records every call in order. The player state is set directly by the test;
// `onReport` runs inside reportProgress (on the download thread) after the report is recorded,
// so a test can switch channel or close the player in the middle of a download.
class RecordingPlayerLink : public PlayerLink {
public:
    explicit RecordingPlayerLink(int currentClass = 0, int currentItem = 0)
        : CurrentClass(currentClass), CurrentItem(currentItem)
    {
    }
    ~RecordingPlayerLink() override { record_->markReleased(); }

    int currentClass() const override { return CurrentClass.load(); }
    int currentItem() const override { return CurrentItem.load(); }
    bool closing() const override { return Closing.load(); }

    void reportProgress(int channelKey, const DownloadProgress& progress) override
    {
        record_->add("report " + std::to_string(channelKey) + " " + std::to_string(progress.Done) +
                     "/" + std::to_string(progress.Total));
        if (onReport) {
            onReport(progress);
        }
    }

    void showNotice(int kind, const std::string& text) override
    {
        record_->add("notice " + std::to_string(kind) + " " + text);
    }

    void openWithShell(const std::string& target) override { record_->add("open " + target); }

    std::vector<std::string> events() const { return record_->events(); }
    std::shared_ptr<LinkRecord> record() const { return record_; }

    std::atomic<int> CurrentClass;
    std::atomic<int> CurrentItem;
    std::atomic<bool> Closing{false};
    std::function<void(const DownloadProgress&)> onReport;

private:
    std::shared_ptr<LinkRecord> record_ = std::make_shared<LinkRecord>();
};

} // namespace palvina::test
