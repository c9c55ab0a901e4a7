#include "app/ui_setup.h"

#include "app/program_icon.h"
#include "ui/message_box.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QTranslator>

namespace app {

void setUpApplication(QApplication &application)
{
    // No display name: it would be added to every window caption.
    QApplication::setApplicationName(QString::fromUtf8(ui::kAppTitle));
    QApplication::setWindowIcon(app::programIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("pennaro"));

    const QStringList cjk = {QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC")};
    for (const QString &family : {QStringLiteral("宋体"), QStringLiteral("黑体"), QStringLiteral("Arial"),
                                  QStringLiteral("Microsoft Sans Serif"), QStringLiteral("SimSun")})
        QFont::insertSubstitutions(family, cjk);
    QFont font = application.font();
    font.setFamilies(QStringList{font.family()} + cjk);
    application.setFont(font);

    auto *translator = new QTranslator(&application);
    if (translator->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
}

} // namespace app
