#pragma once

#include <string>
#include <utility>

namespace db {

// The outcome of a rule of the core: done, or refused with the message the
// window shows (an empty message refuses silently). A database failure is
// not a refusal: it is thrown as db::Error.
struct Result {
    bool done = true;
    std::string message;

    static Result ok() { return {}; }
    static Result refused(std::string message) { return {false, std::move(message)}; }
    bool refusedWith(const std::string &text) const { return !done && message == text; }
    explicit operator bool() const { return done; }
};

} // namespace db
