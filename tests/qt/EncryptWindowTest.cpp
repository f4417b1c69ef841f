#include "Rig.h"
#include "base/FileIo.h"
#include "crypto/SealedFile.h"
#include "platform/Commands.h"
#include "qt/editor/QtEditControl.h"
#include "qt/search/SearchWindow.h"
#include "qt/window/HistoryDialog.h"
#include "settings/NewPasswordDialog.h"
#include "settings/PasswordDialog.h"
#include "settings/RecoveryKeyDialog.h"
#include "state/KeyFileCopy.h"
#include "store/FolderEncryption.h"
#include "ui/SettingsDialog.h"

#include <QCheckBox>
#include <QDirIterator>
#include <QFile>
#include <QInputMethodEvent>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <map>

using namespace pagelet;
using namespace pagelet::qttest;

namespace {

constexpr KdfParams kQuick {1, 1u << 20};
constexpr KdfLimits kQuickLimits {{1, 1u << 20}, {16, 1ull << 30}};

Bytes fileBytes(const QString& path)
{
    QFile file(path);
    const QByteArray all = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    return Bytes(all.begin(), all.end());
}


std::span<const std::uint8_t> bytesOf(std::string_view text)
{
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

QString shownKey(QtDialog& d)
{
    return qobject_cast<QPlainTextEdit*>(d.control(RecoveryKeyDialog::kKeyText))->toPlainText();
}

// The recovery key's dialog ticked and closed with OK; key receives the key it showed.
std::function<void(QtDialog&)> writeKeyDown(std::string* key)
{
    return [key](QtDialog& r) {
        *key = shownKey(r).toStdString();
        qobject_cast<QCheckBox*>(r.control(RecoveryKeyDialog::kWrittenCheck))->click();
        click(r, kIdOk);
    };
}

// The passphrase prompt answered with each entry ("<Esc>": Cancel); then, given a new
// passphrase, the new-passphrase dialog gets it twice (at once when there are no entries) and
// the recovery key's dialog that follows gets recovery. prompt, when given, receives what the
// prompt said.
void answerGate(const QStringList& entries, const QString& newPassphrase = {}, QString* prompt = nullptr,
                std::function<void(QtDialog&)> recovery = {})
{
    const auto answerNew = [newPassphrase, recovery](QtDialog& n) {
        edit(n, NewPasswordDialog::kPasswordEdit)->setText(newPassphrase);
        edit(n, NewPasswordDialog::kConfirmEdit)->setText(newPassphrase);
        if (recovery)
            whenModal(recovery);
        click(n, kIdOk);
    };
    if (entries.isEmpty())
        return whenModal(answerNew);
    whenModal([entries, newPassphrase, answerNew, prompt](QtDialog& d) {
        if (prompt)
            *prompt = qobject_cast<QLabel*>(d.control(PasswordDialog::kPromptLabel))->text();
        for (const auto& entry : entries) {
            if (entry == "<Esc>")
                return click(d, kIdCancel);
            edit(d, PasswordDialog::kPasswordEdit)->setText(entry);
            click(d, kIdOk);
        }
        if (!newPassphrase.isEmpty())
            whenModal(answerNew);
    });
}

struct Diary {
    TempInstall temp;
    QTemporaryDir state;
    std::unique_ptr<PageletWindow> window;

    bool start()
    {
        window = std::make_unique<PageletWindow>(temp.overrides);
        d().kdf = kQuick;
        d().kdfLimits = kQuickLimits;
        d().keepHistoryUnder(fromQString(state.path() + "/"));
        return window->start();
    }
    MainDialog& d() { return window->dialog(); }
    LocalDate today() { return localDate(d().day().selectedDay()); }
    std::u16string folder() { return fromQString(temp.root + "/diary/"); }
    void type(const QString& text)
    {
        d().onCommand(CMD_EDIT, 0, 0);
        QInputMethodEvent typed;
        typed.setCommitString(text);
        QApplication::sendEvent(&window->editControl(), &typed);
    }
};

} // namespace

// One diary through every turn of "일기 암호화...", its page file checked on disk after each.
TEST(EncryptedDiary, SettingsEncryptChangeAndDecryptTheFolderOnDisk)
{
    Diary diary;
    Settings withPassword;
    withPassword.usePassword = 1;
    withPassword.password = u"old";
    diary.temp.install(withPassword);
    answerGate({"old"});
    ASSERT_TRUE(diary.start());
    diary.type(QStringLiteral("비밀")); // not stored: encrypting stores it first
    const QString page = toQString(diary.d().pages().pageLocation(diary.today()));
    const Bytes plain = encodePage({0, u"비밀"});
    std::string recovery;

    enum class Disk { Plain, Unchanged, Sealed };
    struct Step {
        const char* name;
        QStringList gate;     // the current passphrase, when the diary is encrypted
        MessageAnswer choice; // Yes: a new passphrase; No: decrypt
        QString newPassphrase;
        Disk want;
        const char* opensWith; // what unlocks the key file afterwards
        std::u16string lastMessage;
    };
    const Step steps[] = {
        {"encrypt", {}, MessageAnswer::Yes, "first one", Disk::Sealed, "first one",
         u"일기를 암호화했습니다.\n\n적어 둔 복구 키는 컴퓨터와 따로 보관하세요.\n비밀번호를 잊으면 그 키로만 열 수 있습니다."},
        {"Cancel at the passphrase", {"<Esc>"}, MessageAnswer::Yes, "", Disk::Unchanged, "first one", {}},
        {"wrong three times", {"x", "y", "z"}, MessageAnswer::Yes, "", Disk::Unchanged, "first one",
         u"암호가 일치하지 않습니다.\n다시 입력하세요."},
        {"change", {"first one"}, MessageAnswer::Yes, "second one", Disk::Unchanged, "second one", u"비밀번호를 바꿨습니다."},
        {"no answer", {"second one"}, MessageAnswer::Cancel, "", Disk::Unchanged, "second one",
         u"비밀번호를 바꾸시겠습니까?\n[아니요]를 누르면 일기의 암호화를 풉니다."},
        {"decrypt", {"second one"}, MessageAnswer::No, "", Disk::Plain, "", u"일기의 암호화를 풀었습니다."},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        const Bytes before = fileBytes(page);
        diary.temp.messages.shown.clear();
        diary.temp.messages.answers = {step.choice};
        bool ticked = true;
        whenModal([&](QtDialog& settings) {
            answerGate(step.gate, step.newPassphrase, nullptr,
                       step.want == Disk::Sealed ? writeKeyDown(&recovery) : nullptr);
            click(settings, SettingsDialog::kEncryptButton);
            ticked = qobject_cast<QCheckBox*>(settings.control(SettingsDialog::kUsePasswordCheck))->isChecked();
            click(settings, kIdOk);
        });
        diary.d().onCommand(CMD_SETTINGS, 0, 0);
        const auto& shown = diary.temp.messages.shown;
        const std::u16string last = shown.empty() ? u"" : shown.back().text;

        const Bytes after = fileBytes(page);
        EXPECT_EQ(diary.d().encrypted(), step.want != Disk::Plain);
        EXPECT_EQ(isEncryptedFolder(diary.folder()), step.want != Disk::Plain);
        if (step.want == Disk::Plain) {
            EXPECT_EQ(after, plain);
        } else if (step.want == Disk::Unchanged) {
            EXPECT_EQ(after, before);
        } else {
            EXPECT_EQ(recovery.size(), 39u);
        }
        EXPECT_EQ(last, step.lastMessage);
        if (step.want != Disk::Plain) {
            const KeyFileRead read = readFolderKeyFile(diary.folder(), kQuickLimits);
            ASSERT_TRUE(read);
            const auto key = unlockWithPassphrase(*read, bytesOf(step.opensWith), kQuickLimits);
            ASSERT_TRUE(key);
            EXPECT_EQ(openSealed(*key, diary.today(), SealedKind::Page, after), plain);
            EXPECT_TRUE(unlockWithRecoveryKey(*read, recovery));
        }
        // The shown page is back in the window, stored.
        EXPECT_EQ(diary.d().editor().text, u"비밀");
        EXPECT_TRUE(diary.d().editor().saved);
        // The passphrase took the start-up password's place: none is asked after a decrypt.
        Settings disk;
        ConfigFile config;
        ASSERT_TRUE(config.open(fromQString(diary.temp.root + "/config.dat")));
        config.readFirst(disk);
        EXPECT_EQ(std::pair(disk.usePassword, disk.password), std::pair(0, std::u16string()));
        EXPECT_FALSE(ticked);
    }
}

// The recovery key is shown before a file of the folder changes; OK waits for the box, and
// Cancel leaves the diary plain with no key file.
TEST(EncryptedDiary, TheRecoveryKeyIsWrittenDownBeforeTheConversion)
{
    const auto folderFiles = [](const QString& folder) {
        std::map<QString, Bytes> files;
        for (const QString& name : QDir(folder).entryList(QDir::Files))
            files[name] = fileBytes(folder + "/" + name);
        return files;
    };
    for (const bool ok : {false, true}) {
        SCOPED_TRACE(ok ? "OK" : "Cancel");
        Diary diary;
        diary.temp.install({});
        ASSERT_TRUE(diary.start());
        diary.type(QStringLiteral("비밀"));
        diary.d().onCommand(CMD_SAVE, 0, 0);
        const QString folder = diary.temp.root + "/diary";
        const auto before = folderFiles(folder);
        ASSERT_FALSE(before.empty());
        std::string key;
        const auto recovery = [&](QtDialog& r) {
            key = shownKey(r).toStdString();
            EXPECT_TRUE(qobject_cast<QPlainTextEdit*>(r.control(RecoveryKeyDialog::kKeyText))->textInteractionFlags() &
                        Qt::TextSelectableByMouse);
            EXPECT_EQ(folderFiles(folder), before);
            QWidget* okButton = r.control(kIdOk);
            EXPECT_FALSE(okButton->isEnabled());
            click(r, kIdOk);
            EXPECT_TRUE(r.isVisible());
            auto* box = qobject_cast<QCheckBox*>(r.control(RecoveryKeyDialog::kWrittenCheck));
            box->click();
            EXPECT_TRUE(okButton->isEnabled());
            if (ok)
                return click(r, kIdOk);
            box->click();
            EXPECT_FALSE(okButton->isEnabled());
            click(r, kIdCancel);
        };
        diary.temp.messages.shown.clear();
        whenModal([&](QtDialog& settings) {
            answerGate({}, "first one", nullptr, recovery);
            click(settings, SettingsDialog::kEncryptButton);
            click(settings, kIdOk);
        });
        diary.d().onCommand(CMD_SETTINGS, 0, 0);
        EXPECT_EQ(key.size(), 39u);
        EXPECT_EQ(diary.d().encrypted(), ok);
        if (!ok) {
            EXPECT_EQ(folderFiles(folder), before);
            EXPECT_TRUE(diary.temp.messages.shown.empty());
            continue;
        }
        const KeyFileRead read = readFolderKeyFile(diary.folder(), kQuickLimits);
        ASSERT_TRUE(read);
        EXPECT_TRUE(unlockWithRecoveryKey(*read, key));
        EXPECT_TRUE(looksSealed(fileBytes(toQString(diary.d().pages().pageLocation(diary.today())))));
    }
}

// An encrypted diary asks its passphrase at start whatever "use password" says; config.dat's
// password is dropped, and the crash journal and history hold sealed bytes only.
TEST(EncryptedDiary, StartUpGateUnlocksWithThePassphraseOrTheRecoveryKey)
{
    struct Case {
        const char* name;
        std::int32_t usePassword;
        QStringList entries; // "<recovery>": the recovery key
        bool wantStarted;
    };
    const Case cases[] = {
        {"passphrase, no start-up password", 0, {"open sesame"}, true},
        {"third try, a start-up password set", 1, {"a", "b", "open sesame"}, true},
        {"the recovery key", 0, {"<recovery>"}, true},
        {"wrong three times", 1, {"a", "b", "c"}, false},
        {"Cancel", 0, {"<Esc>"}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Diary diary;
        Settings settings;
        settings.usePassword = c.usePassword;
        settings.password = u"old";
        diary.temp.install(settings);
        auto made = createKeyFile(bytesOf("open sesame"), kQuick);
        ASSERT_TRUE(made && writeFolderKeyFile(diary.folder(), made->file));
        QString prompt;
        answerGate(QStringList(c.entries).replaceInStrings("<recovery>", QString::fromStdString(made->recoveryKey)), {},
                   &prompt);
        ASSERT_EQ(diary.start(), c.wantStarted);
        EXPECT_EQ(prompt, QStringLiteral("패스워드를 입력하세요.\n3번 이상 틀리면\n프로그램이 종료됩니다."));
        if (!c.wantStarted) {
            EXPECT_EQ(diary.temp.messages.shown.back().text, u"프로그램을 종료합니다.");
            continue;
        }
        EXPECT_TRUE(diary.d().encrypted());
        Settings disk;
        ConfigFile config;
        ASSERT_TRUE(config.open(fromQString(diary.temp.root + "/config.dat")));
        config.readFirst(disk);
        EXPECT_EQ(disk.password, u"");
        EXPECT_EQ(disk.usePassword, c.usePassword);

        const auto sealedStateFiles = [&] {
            int files = 0;
            for (QDirIterator it(diary.state.path(), QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
                if (!it.next().contains("/keys/")) {
                    EXPECT_TRUE(looksSealed(fileBytes(it.filePath()))) << it.filePath().toStdString();
                    ++files;
                }
            return files;
        };
        diary.type(QStringLiteral("아직 저장하지 않은 줄"));
        ASSERT_TRUE(diary.d().pageJournal().keepNow());
        EXPECT_EQ(sealedStateFiles(), 1);
        const auto pending = diary.d().journal()->pending();
        ASSERT_EQ(pending.size(), 1u);
        EXPECT_EQ(pending[0].page.text, diary.d().editor().text);
        // A second save hands the first one's bytes to the history.
        diary.d().onCommand(CMD_SAVE, 0, 0);
        diary.type(QStringLiteral("둘째 줄"));
        diary.d().onCommand(CMD_SAVE, 0, 0);
        diary.d().history()->flush();
        // The store's drop of the journal runs on the journal's own thread.
        ASSERT_TRUE(diary.d().journal()->flush());
        EXPECT_EQ(diary.d().history()->versions(diary.today()).size(), 1u);
        EXPECT_EQ(sealedStateFiles(), 1);

        // Searching every year opens the sealed pages in memory.
        for (QAction* action : diary.window->findChildren<QAction*>())
            if (action->text().startsWith(QStringLiteral("모든 일기에서 찾기")))
                action->trigger();
        auto* search = diary.window->findChild<SearchWindow*>(QStringLiteral("searchWindow"));
        ASSERT_TRUE(search);
        search->wordBox().setText(QStringLiteral("둘째"));
        for (int i = 0; i < 500 && (search->searching() || search->results().count() == 0); ++i)
            QTest::qWait(10);
        EXPECT_EQ(search->results().count(), 1);
    }
}

// After the conversion ended, a plain page put in the folder is not the day's page: the window
// shows the day without it and offers its text as a conflict copy, taken in (sealed) only when
// the person says so, and left where it was otherwise.
TEST(EncryptedDiary, APlainPageAfterTheConversionIsOnlyOffered)
{
    for (const bool taken : {false, true}) {
        SCOPED_TRACE(taken ? "taken in" : "declined");
        Diary diary;
        diary.temp.install(Settings {});
        auto made = createKeyFile(bytesOf("open sesame"), kQuick);
        ASSERT_TRUE(made && writeFolderKeyFile(diary.folder(), withConversionMark(made->file, made->key, true)));
        const QString page = diary.temp.root + "/diary/" + QDate::currentDate().toString("yyyyMMdd") + ".dry";
        const Bytes planted = encodePage({2, u"심어 둔 글"});
        ASSERT_TRUE(writeFileAtomic(fromQString(page), planted));
        diary.temp.messages.answers = {taken ? MessageAnswer::Yes : MessageAnswer::No};
        answerGate({"open sesame"});
        ASSERT_TRUE(diary.start());
        ASSERT_EQ(diary.today().day, QDate::currentDate().day());
        const auto& shown = diary.temp.messages.shown;
        EXPECT_TRUE(std::any_of(shown.begin(), shown.end(),
                                [](const auto& m) { return m.text == textOf(TextId::ConflictCopyQuestion); }));
        EXPECT_FALSE(std::any_of(shown.begin(), shown.end(),
                                 [](const auto& m) { return m.text.find(u"읽을 수 없") != std::u16string::npos; }));
        EXPECT_EQ(diary.d().editor().text.get().find(u"심어 둔 글") != std::u16string::npos, taken);
        const Bytes after = fileBytes(page);
        EXPECT_EQ(looksSealed(after), taken);
        if (!taken) {
            EXPECT_EQ(after, planted);
            continue;
        }
        auto key = unlockWithPassphrase(made->file, bytesOf("open sesame"), kQuickLimits);
        ASSERT_TRUE(key);
        const auto opened = openSealed(*key, diary.today(), SealedKind::Page, after);
        ASSERT_TRUE(opened);
        EXPECT_NE(decodePage(*opened)->text.find(u"심어 둔 글"), std::u16string::npos);
        EXPECT_EQ(QDir(diary.temp.root + "/diary").entryList(QDir::Files).size(), 2) << "the page and the key file";
    }
}

// The key file gone from an encrypted folder: the start-up prompt opens the state folder's copy
// and puts it back; without a copy the window says so and ends, having written nothing.
TEST(EncryptedDiary, AKeyFileGoneIsPutBackOrTheDiaryStaysShut)
{
    struct Case {
        const char* name;
        bool copyKept;
        bool sealedPage;
        QStringList entries;
        bool wantStarted;
    };
    const Case cases[] = {
        {"copy, sealed page", true, true, {"open sesame"}, true},
        {"copy, no page left", true, false, {"open sesame"}, true},
        {"copy, Cancel", true, true, {"<Esc>"}, false},
        {"no copy, sealed page", false, true, {}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Diary diary;
        diary.temp.install({});
        auto made = createKeyFile(bytesOf("open sesame"), kQuick);
        ASSERT_TRUE(made && writeFolderKeyFile(diary.folder(), made->file));
        const QString keyPath = diary.temp.root + "/diary/pagelet.key";
        const Bytes keyFile = fileBytes(keyPath);
        if (c.sealedPage)
            ASSERT_EQ(openPageStore(diary.folder(), std::move(made->key))->write({2026, 12, 1}, {1, u"봉인"}),
                      StoreResult::Written);
        if (c.copyKept)
            ASSERT_TRUE(KeyFileCopy(StateFolder(fromQString(diary.state.path() + "/"), diary.folder())).keep(keyFile));
        QFile::remove(keyPath);
        const QStringList before = QDir(diary.temp.root + "/diary").entryList(QDir::Files);
        if (!c.entries.isEmpty())
            answerGate(c.entries);
        ASSERT_EQ(diary.start(), c.wantStarted);
        if (!c.wantStarted) {
            EXPECT_EQ(QDir(diary.temp.root + "/diary").entryList(QDir::Files), before);
            if (!c.copyKept)
                EXPECT_EQ(diary.temp.messages.shown.front().text,
                          u"일기 열쇠 파일 (pagelet.key)이 없습니다.\n백업에서 되살려 주십시오.");
            continue;
        }
        EXPECT_EQ(fileBytes(keyPath), keyFile);
        EXPECT_TRUE(diary.d().encrypted());
        diary.type(QStringLiteral("새 줄"));
        diary.d().onCommand(CMD_SAVE, 0, 0);
        const LocalDate t = diary.today();
        EXPECT_TRUE(looksSealed(fileBytes(diary.temp.root + QString::asprintf("/diary/%04d%02d%02d.dry", t.year, t.month, t.day))));
    }
}

// A data folder chosen in the settings that is encrypted is taken only with its passphrase; its
// prompt keeps the program running after the last try, and says so.
TEST(EncryptedDiary, SwitchingToAnEncryptedFolderAsksItsPassphrase)
{
    const std::pair<QStringList, bool> cases[] = {
        {{"x", "other"}, true}, {{"<Esc>"}, false}, {{"x", "y", "z"}, false}};
    for (const auto& [entries, wantSwitched] : cases) {
        SCOPED_TRACE(entries.join(' ').toStdString());
        Diary diary;
        diary.temp.install({});
        ASSERT_TRUE(diary.start());
        const QString other = diary.temp.root + "/other/";
        QDir().mkpath(other);
        auto made = createKeyFile(bytesOf("other"), kQuick);
        ASSERT_TRUE(made && writeFolderKeyFile(fromQString(other), made->file));
        ASSERT_EQ(openPageStore(fromQString(other), std::move(made->key))->write(diary.today(), {1, u"다른 폴더"}),
                  StoreResult::Written);
        QString prompt;
        whenModal([&](QtDialog& settings) {
            edit(settings, SettingsDialog::kDataPathEdit)->setText(other);
            answerGate(entries, {}, &prompt);
            click(settings, kIdOk);
        });
        diary.d().onCommand(CMD_SETTINGS, 0, 0);
        EXPECT_EQ(prompt, QStringLiteral("비밀번호를 입력하세요.\n3번 이상 틀리면\n바꾸지 않고 돌아갑니다."));
        EXPECT_FALSE(diary.temp.exit.exited);
        EXPECT_EQ(diary.d().settings().dataPath, wantSwitched ? fromQString(other) : diary.folder());
        EXPECT_EQ(diary.d().encrypted(), wantSwitched);
        EXPECT_EQ(diary.d().editor().text, wantSwitched ? u"다른 폴더" : u"");
    }
}

// Ctrl+H on an encrypted diary opens its sealed versions with the window's key: first lines,
// preview and "되돌리기" as on a plain one; a version that won't open says so in its row.
TEST(EncryptedDiary, HistoryOpensSealedVersions)
{
    Diary diary;
    diary.temp.install({});
    auto made = createKeyFile(bytesOf("open sesame"), kQuick);
    ASSERT_TRUE(made && writeFolderKeyFile(diary.folder(), made->file));
    answerGate({"open sesame"});
    ASSERT_TRUE(diary.start());
    for (const char* text : {"하나", "\n둘", "\n셋"}) {
        diary.type(QString::fromUtf8(text));
        diary.d().onCommand(CMD_SAVE, 0, 0);
    }
    diary.d().history()->flush();
    const auto versions = diary.d().history()->versions(diary.today());
    ASSERT_EQ(versions.size(), 2u);
    // The oldest version's tag no longer matches.
    QFile damaged(toQString(diary.d().history()->folder() + u"/" + versions[1].name));
    ASSERT_TRUE(damaged.open(QIODevice::ReadWrite));
    const QByteArray sealed = damaged.readAll();
    ASSERT_TRUE(damaged.seek(sealed.size() - 1));
    damaged.write(QByteArray(1, static_cast<char>(sealed.back() ^ 1)));
    damaged.close();

    QStringList rows;
    struct Shown {
        QString preview;
        bool restorable = false;
    } shown[2];
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<HistoryDialog*>(QApplication::activeModalWidget());
        ASSERT_TRUE(box);
        auto* list = box->findChild<QListWidget*>();
        QPushButton* restore = nullptr;
        for (QPushButton* button : box->findChildren<QPushButton*>())
            if (button->text() == QStringLiteral("되돌리기"))
                restore = button;
        if (!list || !restore) {
            ADD_FAILURE() << "the history window has no list or no 되돌리기";
            box->reject();
            return;
        }
        for (int row : {1, 0}) {
            rows.prepend(list->item(row)->text());
            list->setCurrentRow(row);
            shown[row] = {box->findChild<QPlainTextEdit*>()->toPlainText(), restore->isEnabled()};
        }
        restore->click();
        if (box->isVisible())
            box->reject(); // a restore that took nothing must not hold the test up
    });
    for (QAction* action : diary.window->findChildren<QAction*>())
        if (action->shortcut() == QKeySequence(QStringLiteral("Ctrl+H")))
            action->trigger();
    ASSERT_EQ(rows.size(), 2);
    EXPECT_TRUE(rows[0].endsWith(QStringLiteral("  하나"))) << rows[0].toStdString();
    EXPECT_TRUE(rows[1].endsWith(QStringLiteral("  (열 수 없는 버전)"))) << rows[1].toStdString();
    EXPECT_EQ(shown[0].preview, QStringLiteral("하나\n둘"));
    EXPECT_TRUE(shown[0].restorable);
    EXPECT_EQ(shown[1].preview, QStringLiteral("이 버전은 열 수 없습니다. 파일이 손상되었거나 다른 키로 암호화되었습니다."));
    EXPECT_FALSE(shown[1].restorable);
    EXPECT_EQ(diary.d().editor().text, u"하나\r\n둘");
}
