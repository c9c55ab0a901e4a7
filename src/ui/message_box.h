#pragma once

#include <QString>

#include <string>

class QWidget;

namespace ui {

// The caption of the program's plain message boxes and of its main window.
inline constexpr const char *kAppTitle = "Pennaro";
// The caption of the boxes of a failed print or export.
inline constexpr const char *kErrorCaption = "错误";

// A plain box with the program's title and an OK button.
void inform(QWidget *parent, const QString &text);
void inform(QWidget *parent, const std::string &text);
// A refusal that needs attention: the warning icon, the program's title.
void warn(QWidget *parent, const QString &text);
// A failure with the error icon under its own caption ("错误" unless told).
void showError(QWidget *parent, const QString &text, const char *caption = kErrorCaption);
// Yes/No with the question icon; true for Yes. No is the default unless
// yesIsDefault.
bool askYesNo(QWidget *parent, const QString &text, bool yesIsDefault = false, const char *caption = kAppTitle);
// OK/Cancel with the question icon and OK as the default; true for OK.
bool askOkCancel(QWidget *parent, const QString &text, const char *caption = kAppTitle);

} // namespace ui
