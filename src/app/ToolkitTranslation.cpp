#include "app/ToolkitTranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace kestrim {

bool InstallToolkitTranslation(QCoreApplication& App)
{
    auto* translator = new QTranslator(&App);
    if (!translator->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return App.installTranslator(translator);
}

} // namespace kestrim
