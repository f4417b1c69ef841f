#include "qt/start/UiTranslations.h"

#include "text/Catalogue.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace pagelet {


UiLanguage desktopLanguage(const QStringList& uiLanguages)
{
    // A list such as "fr:ko" asks for Korean before the English fallback.
    for (const QString& name : uiLanguages) {
        const QLocale::Language language = QLocale(name).language();
        if (language == QLocale::Korean)
            return UiLanguage::Korean;
        if (language == QLocale::English)
            return UiLanguage::English;
    }
    return UiLanguage::English;
}

void installCoreTextLookup()
{
    setTextLookup([](const char* context, const char* source) {
        return QCoreApplication::translate(context, source).toStdU16String();
    });
}

UiTranslations::UiTranslations(UiLanguage language)
{
    QLocale::setDefault(language == UiLanguage::Korean ? QLocale(QLocale::Korean, QLocale::SouthKorea)
                                                       : QLocale(QLocale::English, QLocale::system().territory()));
    if (language == UiLanguage::Korean) {
        // The program's texts are written in Korean; only Qt's own need a translation.
        m_complete = m_qt.load(QStringLiteral("qtbase_ko"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
                     QCoreApplication::installTranslator(&m_qt);
    } else {
        // Qt's own texts are written in English.
        m_complete = m_program.load(QStringLiteral(":/pagelet/translations/pagelet_en.qm")) &&
                     QCoreApplication::installTranslator(&m_program);
    }
    installCoreTextLookup();
}

namespace {

const QTranslator* commandTranslator = nullptr;

} // namespace

CommandTexts::CommandTexts()
{
    if (desktopLanguage(QLocale::system().uiLanguages()) == UiLanguage::Korean ||
        !m_program.load(QStringLiteral(":/pagelet/translations/pagelet_en.qm")))
        return;
    commandTranslator = &m_program;
    setTextLookup([](const char* context, const char* source) {
        const QString text = commandTranslator->translate(context, source);
        return (text.isEmpty() ? QString::fromUtf8(source) : text).toStdU16String();
    });
}

CommandTexts::~CommandTexts()
{
    if (commandTranslator == &m_program) {
        setTextLookup(nullptr);
        commandTranslator = nullptr;
    }
}

UiTranslations::~UiTranslations()
{
    QLocale::setDefault(m_previousLocale);
    setTextLookup(nullptr);
    QCoreApplication::removeTranslator(&m_program);
    QCoreApplication::removeTranslator(&m_qt);
}

} // namespace pagelet
