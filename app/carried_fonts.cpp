#include "app/carried_fonts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFontDatabase>

namespace app {

void loadCarriedFonts()
{
#ifdef Q_OS_WIN
    const QDir fonts(QCoreApplication::applicationDirPath() + QStringLiteral("/fonts"));
    for (const QString& file : fonts.entryList({QStringLiteral("*.ttf")}, QDir::Files))
        QFontDatabase::addApplicationFont(fonts.filePath(file));
#endif
}

}  // namespace app
