#include "app/program_arguments.h"

#include "app/version.h"

namespace app {

namespace {
const char *const kHelp =
    "用法: pennaro [帐本文件]\n"
    "家庭记帐。打开给出的帐本文件；没有给出时依次使用:\n"
    "  1. 当前文件夹里的 account.mdb\n"
    "  2. 上次打开的帐本\n"
    "  3. 自己的帐本 $XDG_DATA_HOME/pennaro/account.mdb (默认 ~/.local/share/pennaro/account.mdb)\n"
    "都没有时显示第一次运行的窗口: 新建帐本、打开帐本或从备份恢复。\n"
    "\n"
    "选项:\n"
    "  -h, --help     显示这段说明\n"
    "  -v, --version  显示版本\n"
    "\n"
    "环境变量:\n"
    "  XDG_DATA_HOME    自己的帐本所在的文件夹 (其中的 pennaro/account.mdb)\n"
    "  XDG_CONFIG_HOME  设置所在的文件夹: pennaro/pennaro.conf 记着最近打开的四个帐本\n"
    "  XDG_RUNTIME_DIR  Kassolt.ini 记着上次登录的用户 (重新开机后清除)\n"
    "  PENNARO_SQL_LOG  把发给数据库的每条语句追加到这个文件，一条一行\n"
    "\n"
    "新建帐本也可以用 pennaro-initdb，命令行上使用帐本用 pennaro-cli。\n";
} // namespace

ProgramArguments parseProgramArguments(const std::vector<std::string> &arguments)
{
    // Help and the version win over anything else on the line, so that they
    // answer even beside options meant for the toolkit.
    ProgramArguments result;
    bool optionsEnded = false;
    for (const std::string &argument : arguments) {
        const bool option = !optionsEnded && argument.size() > 1 && argument[0] == '-';
        if (option && (argument == "-h" || argument == "--help"))
            return {ProgramArguments::Action::Help, {}, {}};
        if (option && (argument == "-v" || argument == "--version"))
            return {ProgramArguments::Action::Version, {}, {}};
        if (!result.problem.empty() || argument.empty())
            continue;
        if (option && argument == "--")
            optionsEnded = true;
        else if (option)
            result.problem = "不认识的选项: " + argument;
        else if (!result.book.empty())
            result.problem = "只能给出一个帐本文件";
        else
            result.book = argument;
    }
    if (!result.problem.empty()) {
        result.action = ProgramArguments::Action::Refuse;
        result.book.clear();
    }
    return result;
}

std::string programHelpText() { return kHelp; }

std::string programVersionText() { return std::string("pennaro ") + kVersion + "\n"; }

} // namespace app
