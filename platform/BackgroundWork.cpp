#include "platform/BackgroundWork.h"

#include <atomic>
#include <condition_variable>
#include <list>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace {

struct Job {
    std::function<BackgroundWork::Completion()> work;
    BackgroundWork::Completion completion;
    bool ended = false;
    std::thread thread;
};

struct Jobs {
    std::mutex mutex;
    std::condition_variable ended;
    std::list<std::shared_ptr<Job>> started;  // until delivered
    std::atomic<bool> stopping{false};
};

Jobs& jobs() {
    static Jobs j;
    return j;
}

// Removes the jobs that have ended from the list.
std::vector<std::shared_ptr<Job>> takeEnded() {
    Jobs& j = jobs();
    std::lock_guard lock(j.mutex);
    std::vector<std::shared_ptr<Job>> out;
    for (auto it = j.started.begin(); it != j.started.end();) {
        if ((*it)->ended) {
            out.push_back(std::move(*it));
            it = j.started.erase(it);
        } else {
            ++it;
        }
    }
    return out;
}

}  // namespace

void BackgroundWork::start(std::function<Completion()> work) {
    auto job = std::make_shared<Job>();
    job->work = std::move(work);
    Jobs& j = jobs();
    std::lock_guard lock(j.mutex);
    j.started.push_back(job);
    job->thread = std::thread([job] {
        Completion done = job->work();
        job->work = nullptr;
        Jobs& j = jobs();
        {
            std::lock_guard lock(j.mutex);
            job->completion = std::move(done);
            job->ended = true;
        }
        j.ended.notify_all();
    });
}

void BackgroundWork::deliver() {
    for (const auto& job : takeEnded()) {
        job->thread.join();  // it has only its return left
        if (job->completion) job->completion();
    }
}

bool BackgroundWork::pending() {
    Jobs& j = jobs();
    std::lock_guard lock(j.mutex);
    return !j.started.empty();
}

void BackgroundWork::waitUntilEnded() {
    Jobs& j = jobs();
    std::unique_lock lock(j.mutex);
    j.ended.wait(lock, [&j] {
        for (const auto& job : j.started)
            if (!job->ended) return false;
        return true;
    });
}

bool BackgroundWork::stopping() {
    return jobs().stopping;
}

void BackgroundWork::stopAll() {
    jobs().stopping = true;
    waitUntilEnded();
    for (const auto& job : takeEnded()) job->thread.join();
    jobs().stopping = false;
}
