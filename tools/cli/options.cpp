#include "tools/cli/options.h"

namespace cli {

Options::Options(const std::vector<std::string> &words, const std::set<std::string> &valued,
                 const std::set<std::string> &flags)
{
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string &word = words[i];
        if (word.size() > 2 && word.compare(0, 2, "--") == 0) {
            // "--name=value" is "--name value" in one word.
            const std::size_t equals = word.find('=');
            const std::string name = word.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
            const std::string option = "--" + name;
            if (flags.count(name)) {
                if (equals != std::string::npos) {
                    m_error = "选项 " + option + " 不带值";
                    return;
                }
                m_flags.insert(name);
            } else if (valued.count(name)) {
                if (equals == std::string::npos && i + 1 >= words.size()) {
                    m_error = "选项 " + option + " 后面缺少值";
                    return;
                }
                if (m_values.count(name)) {
                    m_error = "选项 " + option + " 给了两次";
                    return;
                }
                m_values[name] = equals == std::string::npos ? words[++i] : word.substr(equals + 1);
            } else {
                m_error = "未知的选项 " + option;
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
