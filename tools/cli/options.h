#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace cli {

// The options and positional words of one subcommand's command line.
class Options {
public:
    // Reads "--name value" and "--name=value" (names in valued), "--name"
    // flags (names in flags) and positional words; anything else is a usage
    // error, kept in error().
    Options(const std::vector<std::string> &words, const std::set<std::string> &valued,
            const std::set<std::string> &flags = {});

    const std::string &error() const { return m_error; }
    bool has(const std::string &name) const { return m_values.count(name) > 0 || m_flags.count(name) > 0; }
    std::optional<std::string> value(const std::string &name) const;
    std::string valueOr(const std::string &name, const std::string &fallback) const;
    const std::vector<std::string> &positional() const { return m_positional; }

private:
    std::map<std::string, std::string> m_values;
    std::set<std::string> m_flags;
    std::vector<std::string> m_positional;
    std::string m_error;
};

} // namespace cli
