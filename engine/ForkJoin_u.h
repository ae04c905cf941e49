#pragma once
// The one way the engine runs work side by side. Every pool agrees on what a failed
// thread start means (its task runs on the calling thread instead) and on errors (every
// task runs to its end, then the error of the lowest-numbered failed task is raised).
#include <cstddef>
#include <exception>
#include <functional>
#include <thread>
#include <vector>

namespace brindle {

// Runs Task(0) .. Task(Count - 1): task 0 on the calling thread, each other one on a thread
// of its own. A task whose thread cannot be started runs on the calling thread after task 0,
// so a task must never wait for a higher-numbered one.
inline void ForkJoin(std::size_t count, const std::function<void(std::size_t)>& task) {
    if (count == 0) return;
    std::vector<std::exception_ptr> errors(count);
    const auto guarded = [&](std::size_t i) {
        try {
            task(i);
        } catch (...) {
            errors[i] = std::current_exception();
        }
    };
    std::vector<std::thread> helpers;
    std::vector<std::size_t> left;
    helpers.reserve(count - 1);
    for (std::size_t i = 1; i < count; ++i) {
        try {
            helpers.emplace_back(guarded, i);
        } catch (...) {
            left.push_back(i);
        }
    }
    guarded(0);
    for (const std::size_t i : left) guarded(i);
    for (std::thread& helper : helpers) helper.join();
    for (const std::exception_ptr& error : errors)
        if (error) std::rethrow_exception(error);
}

// Runs Part(0) .. Part(Count - 1) on at most Threads threads (the caller's included), thread
// k taking parts k, k + Threads, ...; with one thread or one part, in order on the caller.
// As with ForkJoin, every part runs and the lowest-numbered part's error is raised.
inline void ForkJoinParts(std::size_t count, std::size_t threads, const std::function<void(std::size_t)>& part) {
    if (threads <= 1 || count <= 1) {
        for (std::size_t i = 0; i < count; ++i) part(i);
        return;
    }
    const std::size_t lanes = threads < count ? threads : count;
    std::vector<std::exception_ptr> errors(count);
    ForkJoin(lanes, [&](std::size_t lane) {
        for (std::size_t i = lane; i < count; i += lanes) {
            try {
                part(i);
            } catch (...) {
                errors[i] = std::current_exception();
            }
        }
    });
    for (const std::exception_ptr& error : errors)
        if (error) std::rethrow_exception(error);
}

}  // namespace brindle
