#pragma once

#include <QString>

#include <string>

class QWidget;
namespace db {
class Error;
}

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

} // namespace setup
