#include "qt/dialogs/DayWords.h"

#include <QCoreApplication>
#include <QDate>
#include <QLocale>

namespace pagelet {

namespace {
struct DayWords {
    Q_DECLARE_TR_FUNCTIONS(DayWords)
};
} // namespace

QString dayInWords(const LocalDate& date)
{
    // The default locale speaks the program's language: its names of days and months.
    return QLocale().toString(QDate(date.year, date.month, date.day), DayWords::tr("yyyy년 M월 d일 dddd"));
}

} // namespace pagelet
