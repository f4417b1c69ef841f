#include "qt/dialogs/DialogTemplate.h"
#include "qt/search/ExportAction.h"
#include "qt/start/UiTranslations.h"
#include "qt/search/SearchWindow.h"
#include "settings/PasswordDialog.h"
#include "store/PlainPageStore.h"
#include "text/Catalogue.h"

#include <QCoreApplication>
#include <QTranslator>
#include <gtest/gtest.h>

using namespace pagelet;

namespace {

// Brackets every text it is asked for, so a text that bypasses the translators shows bare.
class BracketTranslator : public QTranslator {
public:
    QString translate(const char*, const char* source, const char*, int) const override
    {
        return QStringLiteral("[%1]").arg(QString::fromUtf8(source));
    }
    bool isEmpty() const override { return false; }
};

TEST(Translation, CoreAndQtTextsGoThroughTheInstalledTranslators)
{
    BracketTranslator translator;
    QCoreApplication::installTranslator(&translator);
    installCoreTextLookup();

    const SearchWindow search(nullptr, u"/nonexistent/pagelet", {});
    const struct {
        const char* what;
        QString shown, expected;
    } cases[] = {
        {"core message", QString::fromStdU16String(textOf(TextId::WrongPassword)),
         QStringLiteral("[암호가 일치하지 않습니다.\n다시 입력하세요.]")},
        {"dialog caption", dialogText(dialogTemplate(PasswordDialog::kTemplateId)->caption),
         QStringLiteral("[비밀번호 입력]")},
        {"window title", search.windowTitle(), QStringLiteral("[모든 일기에서 찾기]")},
        // The Qt layer's pattern and the core's weekday word, each translated.
        {"date", SearchWindow::dateText(LocalDate{2026, 12, 7}), QStringLiteral("[2026년 12월 7일 ([월])]")},
        {"export report", exportDiaryToFile(PlainPageStore(u"/nonexistent/pagelet"), QStringLiteral("/tmp/x.md"), false).message,
         QStringLiteral("[일기 폴더를 읽을 수 없습니다.]")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.shown, c.expected) << c.what;

    QCoreApplication::removeTranslator(&translator);
    setTextLookup(nullptr);
}

} // namespace
