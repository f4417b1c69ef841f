#include "RunPagelet.h"
#include "base/Text.h"
#include "store/PlainPageStore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <archive.h>
#include <archive_entry.h>
#include <gtest/gtest.h>

namespace pagelet {
namespace {

// A zip of the given entries, deflated.
void writeZip(const QString& path, const std::vector<std::pair<std::string, QByteArray>>& files)
{
    archive* zip = archive_write_new();
    archive_write_set_format_zip(zip);
    ASSERT_EQ(archive_write_open_filename(zip, path.toUtf8().constData()), ARCHIVE_OK);
    for (const auto& [name, bytes] : files) {
        archive_entry* entry = archive_entry_new();
        archive_entry_set_pathname(entry, name.c_str());
        archive_entry_set_filetype(entry, AE_IFREG);
        archive_entry_set_perm(entry, 0644);
        archive_entry_set_size(entry, bytes.size());
        archive_write_header(zip, entry);
        archive_write_data(zip, bytes.constData(), bytes.size());
        archive_entry_free(entry);
    }
    archive_write_close(zip);
    archive_write_free(zip);
}

QByteArray plist(const char* date, const char* text, const char* rest = "")
{
    return QByteArray(R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0"><dict>
<key>Creation Date</key><date>)") + date + "</date>\n<key>Entry Text</key><string>" + text + "</string>\n" + rest +
           "</dict></plist>\n";
}

// The real program on zips and property lists, good and damaged: damage exits 2 and writes nothing.
TEST(ImportArchive, ZipsAndPropertyListsAreReadWholeOrRefused)
{
    QTemporaryDir dir;
    const QString data = dir.path() + "/data";
    ASSERT_TRUE(QDir().mkpath(data));
    const auto put = [&](const QString& name, const QByteArray& bytes) {
        QDir().mkpath(QFileInfo(dir.path() + "/" + name).path());
        QFile file(dir.path() + "/" + name);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    };
    const QByteArray journal = R"({"entries": [{"creationDate": "2024-03-02T07:30:00Z", "timeZone": "Asia/Seoul", "text": "압축 속"}]})";
    writeZip(dir.path() + "/good.zip", {{"photos/a.jpg", "not json"}, {"Journal.json", journal}});
    writeZip(dir.path() + "/bomb.zip", {{"Journal.json", QByteArray(80 << 20, ' ')}});
    writeZip(dir.path() + "/photos.zip", {{"photos/a.jpg", "x"}});
    QFile::copy(dir.path() + "/good.zip", dir.path() + "/cut.zip");
    QFile(dir.path() + "/cut.zip").resize(QFileInfo(dir.path() + "/good.zip").size() / 2);
    put("old/entries/A1.doentry", plist("2014-06-01T23:30:00Z", "서울의 밤 &amp; 비",
                                         "<key>Tags</key><array><string>비</string></array>\n"
                                         "<key>Time Zone</key><string>Asia/Seoul</string>\n"
                                         "<key>Location</key><dict><key>Locality</key><string>x</string></dict>\n"));
    put("old/entries/B2.doentry", plist("2014-06-03T01:00:00Z", "UTC"));
    const QString cutPlist = put("cut.doentry", plist("2014-06-05T01:00:00Z", "잘린").left(150));
    const QString noDate = put("nodate.doentry", plist("someday", "x"));
    const QString huge = dir.path() + "/huge.txt";
    {
        QFile file(huge); // a sparse gigabyte
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.resize(qint64(1) << 30));
    }
    struct Case {
        QString source;
        int status;
        const char* out; // or a piece of the message on stderr
        int pages;
    };
    const std::vector<Case> cases = {
        {dir.path() + "/cut.zip", 2, "damaged zip", 0},
        {dir.path() + "/bomb.zip", 2, "refused as a possible zip bomb", 0},
        {dir.path() + "/photos.zip", 2, "holds no Journal.json", 0},
        {cutPlist, 2, "damaged property list", 0},
        {noDate, 2, "\"Creation Date\" is missing", 0},
        {huge, 2, "too large to be a journal", 0},
        {dir.path() + "/good.zip", 0, "imported 1 entry into 1 day (1 new page)\n", 1},
        {dir.path() + "/old", 0, "imported 2 entries into 2 days (2 new pages)\n", 3},
        {dir.path() + "/old/entries/A1.doentry", 0, "imported 0 entries into 0 days (0 new pages), skipped 1 already there\n", 3},
    };
    for (const auto& c : cases) {
        const qttest::Outcome r = qttest::runPagelet({"--import", c.source, "--data", data});
        const std::string what = c.source.toStdString();
        EXPECT_EQ(r.status, c.status) << what << "\n" << r.err.toStdString();
        if (c.status == 0)
            EXPECT_EQ(r.out.toStdString(), c.out) << what;
        else
            EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.out))) << what << ": " << r.err.toStdString();
        EXPECT_EQ(QDir(data).entryList(QDir::Files).size(), c.pages) << what;
    }
    // The entry's zone puts it on the next day in Seoul, with its tag.
    const PlainPageStore store(fromUtf8(data.toStdString()) + u"/");
    EXPECT_EQ(store.read({2014, 6, 2}).page.text, u"[08:30] 서울의 밤 & 비\r\n#비");
}

} // namespace
} // namespace pagelet
