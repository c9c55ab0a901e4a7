// pennaro-initdb: creates a new ledger database with its default rows.
#include "app/version.h"
#include "db/connection.h"
#include "db/dates.h"
#include "db/init_database.h"
#include "ledger/demo_entries.h"

#include <termios.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <iostream>
#include <optional>
#include <string>

namespace {

const char *const kHelp =
    "用法: pennaro-initdb [--ask-password | --admin-password 密码] [--demo] [文件]\n"
    "新建一个帐本文件 (默认是当前文件夹里的 account.mdb)，已有的文件不会被覆盖。\n"
    "帐本里有用户“管理员”、现金银行和常用的收入、支出类别；文件只有自己能读写。\n"
    "\n"
    "  --ask-password        从标准输入读管理员的密码: 在终端上输入两次 (不显示)，\n"
    "                        否则读第一行\n"
    "  --admin-password 密码 管理员的密码 (机器上的其他用户能看到命令行，最好用 --ask-password)\n"
    "  --demo                再记入一年的示例帐目\n"
    "  -h, --help            显示这段说明\n"
    "  -v, --version         显示版本\n"
    "不给出密码时管理员的密码是空的。\n";

// The terminal's settings while a hidden password is being typed, so that an
// interrupted run gives the echo back.
termios g_savedTerminal;
volatile std::sig_atomic_t g_echoOff = 0;

// An interrupted run leaves no partly written file behind.
extern "C" void onSignal(int signal)
{
    db::removePartialDatabase();
    if (g_echoOff)
        tcsetattr(STDIN_FILENO, TCSANOW, &g_savedTerminal);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

std::optional<std::string> readHiddenLine(const char *prompt)
{
    // The echo goes off before the prompt shows: switching drops what was
    // typed ahead, and an answer typed after the prompt must survive.
    termios hidden = g_savedTerminal;
    hidden.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    g_echoOff = 1;
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &hidden);
    std::fputs(prompt, stderr);
    std::fflush(stderr);
    std::string line;
    const bool read = static_cast<bool>(std::getline(std::cin, line));
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &g_savedTerminal);
    g_echoOff = 0;
    std::fputs("\n", stderr);
    if (!read)
        return std::nullopt;
    return line;
}

// The password from standard input, or none after saying why.
std::optional<std::string> askPassword()
{
    if (isatty(STDIN_FILENO) && tcgetattr(STDIN_FILENO, &g_savedTerminal) == 0) {
        const std::optional<std::string> first = readHiddenLine("管理员的密码: ");
        const std::optional<std::string> second = first ? readHiddenLine("再输入一次: ") : std::nullopt;
        if (!first || !second) {
            std::fputs("pennaro-initdb: 没有输入密码\n", stderr);
            return std::nullopt;
        }
        if (*first != *second) {
            std::fputs("pennaro-initdb: 两次输入的密码不一样，没有新建帐本\n", stderr);
            return std::nullopt;
        }
        return first;
    }
    std::string line;
    if (!std::getline(std::cin, line)) {
        std::fputs("pennaro-initdb: 标准输入里没有密码\n", stderr);
        return std::nullopt;
    }
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

} // namespace

int main(int argc, char *argv[])
{
    std::string path = "account.mdb";
    db::InitOptions options;
    bool demo = false;
    bool ask = false;
    bool passwordGiven = false;
    bool pathGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--admin-password" && i + 1 < argc) {
            options.adminPassword = argv[++i];
            passwordGiven = true;
        } else if (arg == "--ask-password") {
            ask = true;
        } else if (arg == "--demo") {
            demo = true;
        } else if (arg == "-h" || arg == "--help") {
            std::fputs(kHelp, stdout);
            return 0;
        } else if (arg == "-v" || arg == "--version") {
            std::printf("pennaro-initdb %s\n", app::kVersion);
            return 0;
        } else if (!arg.empty() && arg[0] != '-' && !pathGiven) {
            path = arg;
            pathGiven = true;
        } else {
            std::fputs(kHelp, stderr);
            return 2;
        }
    }
    if (ask && passwordGiven) {
        std::fputs(kHelp, stderr);
        return 2;
    }
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        std::signal(signal, onSignal);
    if (ask) {
        const std::optional<std::string> password = askPassword();
        if (!password)
            return 1;
        options.adminPassword = *password;
    }
    int count = 0;
    try {
        db::InitFill fill;
        if (demo)
            fill = [&count](db::Connection &c) { count = ledger::addDemoEntries(c, db::localNow()); };
        db::createDatabase(path, options, fill);
        if (demo)
            std::printf("%s: 记入了 %d 笔示例帐目\n", path.c_str(), count);
    } catch (const db::Error &error) {
        std::fprintf(stderr, "pennaro-initdb: %s\n", error.what());
        return 1;
    }
    std::printf("已新建 %s\n", path.c_str());
    return 0;
}
