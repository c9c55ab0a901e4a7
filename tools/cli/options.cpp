#include "tools/cli/options.h"

namespace cli {

Options::Options(const std::vector<std::string> &words, const std::set<std::string> &valued,
                 const std::set<std::string> &flags)
{
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string &word = words[i];
        if (word.size() > 2 && word.compare(0, 2, "--") == 0) {
            const std::string name = word.substr(2);
            if (flags.count(name)) {
                m_flags.insert(name);
            } else if (valued.count(name)) {
                if (i + 1 >= words.size()) {
                    m_error = "选项 " + word + " 后面缺少值";
                    return;
                }
                if (m_values.count(name)) {
                    m_error = "选项 " + word + " 给了两次";
                    return;
                }
                m_values[name] = words[++i];
            } else {
                m_error = "未知的选项 " + word;
                return;
            }
        } else {
            m_positional.push_back(word);
        }
    }
}

std::optional<std::string> Options::value(const std::string &name) const
{
    const auto it = m_values.find(name);
    if (it == m_values.end())
        return std::nullopt;
    return it->second;
}

std::string Options::valueOr(const std::string &name, const std::string &fallback) const
{
    return value(name).value_or(fallback);
}

} // namespace cli
