#pragma once

#include "db/connection.h"
#include "db/result.h"

#include <QString>

#include <string>

class QWidget;

namespace setup {

// The caption of the program's plain message boxes.
inline constexpr const char *kAppTitle = "Pennaro";

// A plain box with the program's title and an OK button.
void inform(QWidget *parent, const QString &text);
void inform(QWidget *parent, const std::string &text);
// A database failure, with the engine's own text.
void reportError(QWidget *parent, const db::Error &error);
// Yes/No with the question icon; true for Yes. No is the default unless
// yesIsDefault.
bool askYesNo(QWidget *parent, const QString &text, bool yesIsDefault = false);

// Runs one core action, shows its refusal (a refusal without text stays
// silent) or its database failure, and tells whether it went through.
template <typename Action> bool carryOut(QWidget *parent, Action &&action)
{
    try {
        if (const db::Result result = action(); !result) {
            if (!result.message.empty())
                inform(parent, result.message);
            return false;
        }
        return true;
    } catch (const db::Error &error) {
        reportError(parent, error);
        return false;
    }
}

} // namespace setup
