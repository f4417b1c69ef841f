#include "base/Text.h"
#include "store/PlainPageStore.h"
#include "RunPagelet.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace pagelet {

// The real program on the system's time zone database: the second entry is in summer time.
TEST(ImportCommand, DryRunImportAgainAndDamage)
{
    QTemporaryDir dir;
    const QString data = dir.path() + "/data";
    ASSERT_TRUE(QDir().mkpath(data));
    const auto put = [&](const QString& name, const QByteArray& bytes) {
        QFile file(dir.path() + "/" + name);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    };
    const QString journal = put("Journal.json", R"({"entries": [
        {"creationDate": "2024-03-02T07:30:00Z", "timeZone": "America/Los_Angeles", "text": "늦은 밤\n바다", "tags": ["trip"]},
        {"creationDate": "2024-07-02T06:30:00Z", "timeZone": "America/Los_Angeles", "text": "summer"}]})");
    const QString cut = put("cut.json", R"({"entries": [{"creationDate": "2024-03-02T07:30:00Z", "te)");
    struct Case {
        QStringList args;
        int status;
        const char* out;
        const char* err;
        int pages;
    };
    const std::vector<Case> cases = {
        {{"--import", journal, "--dry-run", "--data", data}, 0,
         "2024-03-01 (new page):\n[23:30] 늦은 밤\n바다\n#trip\n\n2024-07-01 (new page):\n[23:30] summer\n\n"
         "would import 2 entries into 2 days (2 new pages)\n", "", 0},
        {{"--import", journal, "--data", data}, 0, "imported 2 entries into 2 days (2 new pages)\n", "", 2},
        {{"--import", journal, "--data", data}, 0, "imported 0 entries into 0 days (0 new pages), skipped 2 already there\n", "", 2},
        {{"--import", cut, "--data", data}, 2, "", "damaged JSON", 2},
        {{"--import", dir.path() + "/missing", "--data", data}, 2, "", "no such file or folder; nothing was imported", 2},
        {{"--dry-run", "--data", data}, 2, "", "--dry-run goes with --import", 2},
    };
    for (const auto& c : cases) {
        const qttest::Outcome r = qttest::runPagelet(c.args);
        const std::string what = c.args.join(' ').toStdString();
        EXPECT_EQ(r.status, c.status) << what << "\n" << r.err.toStdString();
        EXPECT_EQ(r.out.toStdString(), c.out) << what;
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.err))) << what << ": " << r.err.toStdString();
        EXPECT_EQ(QDir(data).entryList(QDir::Files).size(), c.pages) << what;
    }
    const PlainPageStore store(fromUtf8(data.toStdString()) + u"/");
    EXPECT_EQ(store.read({2024, 3, 1}).page.text, u"[23:30] 늦은 밤\r\n바다\r\n#trip");
}

} // namespace pagelet
