#include "base/FileIo.h"
#include "base/Text.h"
#include "store/PageFormat.h"
#include "RunPagelet.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace pagelet {

namespace {

QString readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

QString pageText(const QString& path)
{
    const auto page = decodePage(readFile(path.toStdU16String()).value_or(Bytes {}));
    return page ? QString::fromStdU16String(page->text) : QString();
}

} // namespace

// What the commands write for people follows the desktop's language, as the window does; their
// messages stay English either way.
TEST(CommandLanguage, WrittenWordsFollowTheDesktopWhileMessagesStayEnglish)
{
    struct Case {
        const char* locale;
        QStringList exported;  // in the web page and the Markdown file
        QStringList imported;  // in the page the import added to
    };
    const Case cases[] = {
        {"ko_KR.UTF-8", {"<html lang=\"ko\">", "## 2026-12-10 (목)", "날씨: 맑음", "[음성 메모](out_files/2026-12-10.wav)"},
         {"──── 가져온 내용 ────", "첨부: photos/0a1b2c.jpeg"}},
        {"en_US.UTF-8", {"<html lang=\"en\">", "## 2026-12-10 (Thu)", "Weather: Sunny", "[Voice memo](out_files/2026-12-10.wav)"},
         {"──── Imported ────", "Attachment: photos/0a1b2c.jpeg"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.locale);
        QTemporaryDir home;
        const QString data = home.path() + "/diary";
        ASSERT_TRUE(QDir().mkpath(data));
        writeFileAtomic((data + "/20261210.dry").toStdU16String(), encodePage({0, u"first line"}));
        writeFileAtomic((data + "/20261210.wav").toStdU16String(), Bytes(64, 0));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME", "XDG_CACHE_HOME"})
            env.insert(name, home.path() + "/" + name);
        env.insert("LANGUAGE", "");
        env.insert("LC_ALL", c.locale);
        env.insert("LANG", c.locale);

        QString html;
        for (const char* file : {"/out.html", "/out.md"}) {
            const auto exported = qttest::runPagelet({"--export", home.path() + file, "--data", data}, env);
            ASSERT_EQ(exported.status, 0) << exported.err.toStdString();
            EXPECT_TRUE(exported.out.startsWith("wrote 1 day to")) << exported.out.toStdString();
            html += readAll(home.path() + file);
        }
        for (const QString& words : c.exported)
            EXPECT_TRUE(html.contains(words)) << words.toStdString() << " not in\n" << html.toStdString();

        QFile journal(home.path() + "/in.json");
        ASSERT_TRUE(journal.open(QIODevice::WriteOnly));
        journal.write(R"({"entries": [{"creationDate": "2026-12-10T01:00:00Z", "timeZone": "Asia/Seoul",
            "text": "second", "photos": [{"md5": "0a1b2c", "type": "jpeg"}]}]})");
        journal.close();
        const auto imported = qttest::runPagelet({"--import", home.path() + "/in.json", "--data", data}, env);
        ASSERT_EQ(imported.status, 0) << imported.err.toStdString();
        const QString page = pageText(data + "/20261210.dry");
        for (const QString& words : c.imported)
            EXPECT_TRUE(page.contains(words)) << words.toStdString() << " not in\n" << page.toStdString();
    }
}

} // namespace pagelet
