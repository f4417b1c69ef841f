#include "qt/start/KoreanQt.h"

#include "text/Catalogue.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace pagelet {

bool loadKoreanQtTexts(QCoreApplication& app)
{
    // The program speaks Korean whatever the desktop's language, so its buttons should too.
    auto* translator = new QTranslator(&app);
    if (!translator->load(QStringLiteral("qtbase_ko"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return app.installTranslator(translator);
}

void installCoreTextLookup()
{
    setTextLookup([](const char* context, const char* source) {
        return QCoreApplication::translate(context, source).toStdU16String();
    });
}

} // namespace pagelet
