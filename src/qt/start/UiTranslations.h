#pragma once
#include <QLocale>
#include <QStringList>
#include <QTranslator>

class QCoreApplication;

namespace pagelet {

// The languages the windows speak: Korean, the one the texts are written in, and English.
enum class UiLanguage { Korean, English };

// The first language of the desktop's list (LANGUAGE, LC_ALL, LC_MESSAGES, LANG, as Qt reads them
// into QLocale::system().uiLanguages()) that the program speaks; English when it speaks none.
UiLanguage desktopLanguage(const QStringList& uiLanguages);

// The core's catalogue texts go through the translators installed in Qt from now on.
void installCoreTextLookup();

// The translators of one language, installed in Qt while this lives: the program's own texts
// and Qt's (standard buttons, the editor's menu). The core's catalogue reads through them too,
// and the default locale (the calendar's names of months and days) is the language's.
// Installed before the first window: the keys' names are translated once, when first asked for.
class UiTranslations {
public:
    explicit UiTranslations(UiLanguage language);
    ~UiTranslations();
    UiTranslations(const UiTranslations&) = delete;
    UiTranslations& operator=(const UiTranslations&) = delete;

    // False when a translation was missing; its texts then stay in the language they are written in.
    bool complete() const { return m_complete; }

private:
    QTranslator m_program;
    QTranslator m_qt;
    bool m_complete = true;
    QLocale m_previousLocale;
};

// What a command writes for people to read (an export's headings and words, an import's
// separator) follows the desktop's language as the windows do, while its messages stay English.
// Commands run without an application object, so the translator is asked directly.
class CommandTexts {
public:
    CommandTexts();
    ~CommandTexts();
    CommandTexts(const CommandTexts&) = delete;
    CommandTexts& operator=(const CommandTexts&) = delete;

private:
    QTranslator m_program;
};

} // namespace pagelet
