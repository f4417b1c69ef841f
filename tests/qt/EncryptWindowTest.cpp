#include "Rig.h"
#include "app/MainDialog.h"
#include "crypto/SealedFile.h"
#include "platform/Commands.h"
#include "settings/NewPasswordDialog.h"
#include "settings/PasswordDialog.h"
#include "store/FolderEncryption.h"
#include "qt/editor/QtEditControl.h"
#include "ui/SettingsDialog.h"

#include <QDirIterator>
#include <QFile>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QTest>

using namespace pagelet;
using namespace pagelet::qttest;

namespace {

constexpr KdfParams kQuick {1, 1u << 20};
constexpr KdfLimits kQuickLimits {{1, 1u << 20}, {16, 1ull << 30}};

const std::u16string kMismatch = u"암호가 일치하지 않습니다.\n다시 입력하세요.";

Bytes fileBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray all = file.readAll();
    return Bytes(all.begin(), all.end());
}

std::span<const std::uint8_t> bytesOf(std::string_view text)
{
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// The passphrase dialog answered with each entry in turn ("<Esc>" presses Escape); then, when
// it took the last one, the next dialog is waited for.
void answerGate(const QStringList& entries, std::function<void()> then = {})
{
    whenModal([entries, then](QtDialog& d) {
        for (const auto& entry : entries) {
            if (entry == "<Esc>") {
                QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                QApplication::sendEvent(&d, &escape);
                return;
            }
            edit(d, PasswordDialog::kPasswordEdit)->setText(entry);
            click(d, kIdOk);
        }
        if (then)
            then();
    });
}

void answerNewPassphrase(const QString& passphrase)
{
    whenModal([passphrase](QtDialog& d) {
        edit(d, NewPasswordDialog::kPasswordEdit)->setText(passphrase);
        edit(d, NewPasswordDialog::kConfirmEdit)->setText(passphrase);
        click(d, kIdOk);
    });
}

struct Diary {
    TempInstall temp;
    QTemporaryDir state;
    std::unique_ptr<PageletWindow> window;

    bool start(const Settings& settings = {})
    {
        if (!window)
            temp.install(settings);
        window = std::make_unique<PageletWindow>(temp.overrides);
        window->dialog().kdf = kQuick;
        window->dialog().kdfLimits = kQuickLimits;
        window->dialog().keepHistoryUnder(fromQString(state.path() + "/"));
        return window->start();
    }
    MainDialog& d() { return window->dialog(); }
    LocalDate today() { return localDate(d().day().selectedDay()); }
    QString page() { return temp.root + "/diary/" + toQString(d().pages().pageLocation(today())).section('/', -1); }
    bool keyFile() { return QFile::exists(temp.root + "/diary/pagelet.key"); }
    void type(const QString& text)
    {
        d().onCommand(CMD_EDIT, 0, 0);
        QInputMethodEvent typed;
        typed.setCommitString(text);
        QApplication::sendEvent(&window->editControl(), &typed);
    }
};

} // namespace

// One diary through every turn of "일기 암호화...", the files checked on disk after each.
TEST(EncryptedDiary, SettingsEncryptChangeAndDecryptTheFolderOnDisk)
{
    Diary diary;
    ASSERT_TRUE(diary.start());
    diary.type(QStringLiteral("비밀"));
    const QString page = diary.page();
    const std::u16string pageText = diary.d().editor().text;
    std::string recovery;

    enum class Disk { Plain, SealedAsBefore, SealedAnew };
    struct Step {
        const char* name;
        QStringList gate;  // the current passphrase, when the diary is encrypted
        MessageAnswer change; // Yes: a new passphrase; No: decrypt
        QString newPassphrase;
        Disk want;
        QString opensWith; // the passphrase that unlocks the key file afterwards
        std::u16string lastMessage;
    };
    const Step steps[] = {
        {"encrypt", {}, MessageAnswer::Yes, "first one", Disk::SealedAnew, "first one", {}},
        {"Cancel at the passphrase", {"<Esc>"}, MessageAnswer::Yes, "", Disk::SealedAsBefore, "first one", {}},
        {"a wrong passphrase three times", {"x", "y", "z"}, MessageAnswer::Yes, "", Disk::SealedAsBefore, "first one",
         kMismatch},
        {"change the passphrase", {"first one"}, MessageAnswer::Yes, "second one", Disk::SealedAsBefore, "second one",
         u"비밀번호를 바꿨습니다."},
        {"no answer to change or decrypt", {"second one"}, MessageAnswer::Cancel, "", Disk::SealedAsBefore, "second one",
         u"비밀번호를 바꾸시겠습니까?\n[아니요]를 누르면 일기의 암호화를 풉니다."},
        {"decrypt", {"second one"}, MessageAnswer::No, "", Disk::Plain, "", u"일기의 암호화를 풀었습니다."},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        const Bytes before = fileBytes(page);
        const bool wasEncrypted = diary.keyFile();
        diary.temp.messages.shown.clear();
        diary.temp.messages.answers = {step.change};
        whenModal([&](QtDialog& settings) {
            const bool asksNew = !wasEncrypted || (step.change == MessageAnswer::Yes && !step.newPassphrase.isEmpty());
            const auto next = [&step] { answerNewPassphrase(step.newPassphrase); };
            if (wasEncrypted)
                answerGate(step.gate, asksNew ? std::function<void()>(next) : nullptr);
            else
                next();
            click(settings, SettingsDialog::kEncryptButton);
            click(settings, kIdOk);
        });
        diary.d().onCommand(CMD_SETTINGS, 0, 0);
        const auto& shown = diary.temp.messages.shown;
        const std::u16string last = shown.empty() ? u"" : shown.back().text;

        const Bytes after = fileBytes(page);
        EXPECT_EQ(diary.keyFile(), step.want != Disk::Plain);
        EXPECT_EQ(diary.d().encrypted(), step.want != Disk::Plain);
        if (step.want == Disk::Plain) {
            EXPECT_EQ(after, encodePage({0, pageText}));
        }
        if (step.want == Disk::SealedAsBefore) {
            EXPECT_EQ(after, before);
        }
        if (step.want != Disk::Plain) {
            ASSERT_TRUE(looksSealed(after));
            const KeyFileRead read = readFolderKeyFile(fromQString(diary.temp.root + "/diary/"), kQuickLimits);
            ASSERT_TRUE(read.file);
            const auto key = unlockWithPassphrase(*read.file, bytesOf(step.opensWith.toStdString()), kQuickLimits);
            ASSERT_TRUE(key);
            EXPECT_EQ(openSealed(*key, diary.today(), SealedKind::Page, after), encodePage({0, pageText}));
            if (step.want == Disk::SealedAnew) {
                // The recovery key is the message's last line, 8 groups of 4.
                recovery = toUtf8(last.substr(last.rfind(u'\n') + 1));
                EXPECT_EQ(recovery.size(), 39u);
            }
            // It outlives a change of the passphrase.
            EXPECT_TRUE(unlockWithRecoveryKey(*read.file, recovery));
        }
        if (step.want != Disk::SealedAnew) {
            EXPECT_EQ(last, step.lastMessage);
        }
        // The shown page is back in the window, as stored.
        EXPECT_EQ(diary.d().editor().text, pageText);
        EXPECT_TRUE(diary.d().editor().saved);
    }
}

// An encrypted diary asks its passphrase at start whatever "use password" says; the password
// in config.dat is dropped, and the crash journal holds sealed bytes only.
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
        {"passphrase at the third try, a start-up password set", 1, {"a", "b", "open sesame"}, true},
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
        const std::u16string folder = fromQString(diary.temp.root + "/diary/");
        auto made = createKeyFile(bytesOf("open sesame"), kQuick);
        ASSERT_TRUE(made && writeFolderKeyFile(folder, made->file));
        QStringList entries = c.entries;
        entries.replaceInStrings("<recovery>", QString::fromStdString(made->recoveryKey));
        answerGate(entries);
        diary.window = std::make_unique<PageletWindow>(diary.temp.overrides);
        diary.d().kdf = kQuick;
        diary.d().kdfLimits = kQuickLimits;
        diary.d().keepHistoryUnder(fromQString(diary.state.path() + "/"));
        ASSERT_EQ(diary.window->start(), c.wantStarted);
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

        diary.type(QStringLiteral("아직 저장하지 않은 줄"));
        ASSERT_TRUE(diary.d().day().keepJournalNow());
        const std::u16string text = diary.d().editor().text;
        const auto pending = diary.d().journal()->pending();
        ASSERT_EQ(pending.size(), 1u);
        EXPECT_EQ(pending[0].page.text, text);
        // Every file under the state folder is sealed: the journal now, the history's version of
        // the page after a second save.
        const auto sealedFiles = [&] {
            int files = 0;
            for (QDirIterator it(diary.state.path(), QDir::Files, QDirIterator::Subdirectories); it.hasNext(); ++files)
                EXPECT_TRUE(looksSealed(fileBytes(it.next()))) << it.filePath().toStdString();
            return files;
        };
        EXPECT_EQ(sealedFiles(), 1);
        diary.d().onCommand(CMD_SAVE, 0, 0);
        diary.type(QStringLiteral("둘째 줄"));
        diary.d().onCommand(CMD_SAVE, 0, 0);
        diary.d().history()->flush();
        EXPECT_EQ(diary.d().history()->versions(diary.today()).size(), 1u);
        EXPECT_GE(sealedFiles(), 1);
    }
}

// A data folder chosen in the settings that is encrypted is taken only with its passphrase.
TEST(EncryptedDiary, SwitchingToAnEncryptedFolderAsksItsPassphrase)
{
    struct Case {
        const char* name;
        QStringList entries;
        bool wantSwitched;
    };
    const Case cases[] = {
        {"the passphrase", {"other"}, true},
        {"the second try", {"x", "other"}, true},
        {"Cancel keeps the folder", {"<Esc>"}, false},
        {"wrong three times keeps the folder", {"x", "y", "z"}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Diary diary;
        ASSERT_TRUE(diary.start());
        const std::u16string home = diary.d().settings().dataPath;
        const QString other = diary.temp.root + "/other/";
        QDir().mkpath(other);
        auto made = createKeyFile(bytesOf("other"), kQuick);
        ASSERT_TRUE(made && writeFolderKeyFile(fromQString(other), made->file));
        {
            auto sealed = openPageStore(fromQString(other), std::move(made->key));
            ASSERT_EQ(sealed->write(diary.today(), {1, u"다른 폴더"}), StoreResult::Written);
        }
        whenModal([&](QtDialog& settings) {
            edit(settings, SettingsDialog::kDataPathEdit)->setText(other);
            answerGate(c.entries);
            click(settings, kIdOk);
        });
        diary.d().onCommand(CMD_SETTINGS, 0, 0);
        EXPECT_EQ(diary.d().settings().dataPath, c.wantSwitched ? fromQString(other) : home);
        EXPECT_EQ(diary.d().encrypted(), c.wantSwitched);
        EXPECT_EQ(diary.d().editor().text, c.wantSwitched ? u"다른 폴더" : u"");
        EXPECT_EQ(diary.temp.registry("Data Path").toString(), toQString(diary.d().settings().dataPath));
    }
}
