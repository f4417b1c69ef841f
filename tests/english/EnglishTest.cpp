// Pagelet on an English desktop (the tests run under LANG=en_US.UTF-8), and every dialog's texts
// inside their controls in both languages, measured offscreen with the real fonts.
#include "diary/DiaryExport.h"
#include "store/PlainPageStore.h"
#include "diary/FindDialog.h"
#include "qt/dialogs/DialogTemplate.h"
#include "qt/graphics/Zoom.h"
#include "qt/search/ExportAction.h"
#include "qt/start/UiTranslations.h"
#include "qt/ports/QtCaseFolding.h"
#include "qt/recorder/QtVoiceRecorder.h"
#include "qt/Rig.h"
#include "qt/search/SearchWindow.h"
#include "qt/window/Shortcuts.h"
#include "qt/window/WindowMenu.h"
#include "settings/NewPasswordDialog.h"
#include "settings/PasswordDialog.h"
#include "text/Catalogue.h"
#include "ui/SettingsDialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>
#include <QSignalSpy>
#include <QStyleOptionButton>
#include <algorithm>
#include <filesystem>

using namespace pagelet;
using namespace pagelet::fakes;

namespace {

bool hasHangul(const QString& s)
{
    return std::any_of(s.begin(), s.end(), [](QChar c) {
        const char16_t u = c.unicode();
        return (u >= 0xAC00 && u <= 0xD7AF) || (u >= 0x1100 && u <= 0x11FF) || (u >= 0x3130 && u <= 0x318F);
    });
}

// The language the program picks from this desktop, installed as the program installs it.
struct Desktop {
    Desktop() { EXPECT_TRUE(translations.complete()); }
    const UiLanguage language = desktopLanguage(QLocale::system().uiLanguages());
    const UiTranslations translations {language};
};

void menuTexts(const QMenu& menu, QStringList& out)
{
    for (const QAction* a : menu.actions()) {
        out << a->text();
        if (a->menu())
            menuTexts(*a->menu(), out);
    }
}

// Every text a window shows: its title, labels, buttons, list entries, menus and tooltips.
QStringList shownTexts(QWidget& window)
{
    QStringList out {window.windowTitle()};
    QList<QWidget*> all = window.findChildren<QWidget*>();
    all.prepend(&window);
    for (QWidget* w : all) {
        out << w->toolTip();
        if (auto* label = qobject_cast<QLabel*>(w))
            out << label->text();
        if (auto* button = qobject_cast<QAbstractButton*>(w))
            out << button->text();
        if (auto* list = qobject_cast<QComboBox*>(w))
            for (int i = 0; i < list->count(); ++i)
                out << list->itemText(i);
        if (auto* menu = qobject_cast<QMenu*>(w))
            menuTexts(*menu, out);
    }
    out.removeAll(QString());
    return out;
}

// The real handlers, so the dialogs fill their lists as they do in the program.
struct Handlers {
    const Zoom zoom;
    FakeMessageBox messages;
    FakeClock clock;
    FakeDialogs dialogs;
    FakeSoftInput panel;
    PanelKeyboard keyboard {panel};
    QtCaseFolding folding;
    PlainPageStore store;
    PasswordDialog password {u"", 3, messages, keyboard};
    // The prompt of a folder switch, which has a text of its own.
    PasswordDialog passphrase = [this] {
        PasswordDialog d {u"", 3, messages, keyboard};
        d.prompt = textOf(TextId::PassphraseKeepsDiary);
        return d;
    }();
    NewPasswordDialog newPassword {messages, keyboard};
    SettingsDialog settings {messages, clock, dialogs, keyboard};
    FindDialog find {store, messages, folding, keyboard};
    const struct {
        int templateId;
        DialogHandler& handler;
        const char* caption;
    } dialogs_[5] = {
        {PasswordDialog::kTemplateId, password, "Enter Password"},
        {PasswordDialog::kTemplateId, passphrase, "Enter Password"},
        {NewPasswordDialog::kTemplateId, newPassword, "New Password"},
        {SettingsDialog::kTemplateId, settings, "Settings"},
        {FindDialog::kTemplateId, find, "Find"},
    };
};

int count(std::u16string_view text, std::u16string_view part)
{
    int n = 0;
    for (auto at = text.find(part); at != std::u16string_view::npos; at = text.find(part, at + part.size()))
        ++n;
    return n;
}

} // namespace

TEST(English, EveryCatalogueTextIsTranslatedKeepingItsPlaceholdersAndLines)
{
    const Desktop desktop;
    ASSERT_EQ(desktop.language, UiLanguage::English);
    for (const auto& entry : catalogue()) {
        SCOPED_TRACE(entry.name);
        const std::u16string source = fromUtf8(entry.source);
        const std::u16string shown = textOf(entry.id);
        EXPECT_FALSE(shown.empty());
        EXPECT_NE(shown, source);
        EXPECT_FALSE(hasHangul(QString::fromStdU16String(shown))) << toUtf8(shown);
        EXPECT_EQ(count(shown, u"%1"), count(source, u"%1"));
        // Line breaks are laid out for the message boxes and the find result.
        EXPECT_EQ(count(shown, u"\n"), count(source, u"\n"));
        EXPECT_EQ(count(shown, u"\r"), count(source, u"\r"));
    }
}

TEST(English, EveryWindowMenuAndReportSpeaksEnglish)
{
    const Desktop desktop;
    Handlers h;
    for (const auto& d : h.dialogs_) {
        QtDialog dialog(*dialogTemplate(d.templateId), d.handler, h.zoom);
        d.handler.OnInitDialog(dialog);
        EXPECT_EQ(dialog.windowTitle(), d.caption);
        for (const QString& text : shownTexts(dialog))
            EXPECT_FALSE(hasHangul(text)) << d.caption << ": " << text.toStdString();
    }

    QTemporaryDir diary;
    SearchWindow search(nullptr, fromQString(diary.path() + "/none"), {});
    EXPECT_EQ(search.windowTitle(), "Search All Pages");
    EXPECT_EQ(SearchWindow::dateText(LocalDate {2026, 12, 7}), "Mon, 12/7/2026");

    qttest::TempInstall temp;
    temp.install(Settings());
    std::filesystem::copy(PAGELET_RES_DIR "/skins/default", toUtf8(fromQString(temp.root)) + "/skin/default",
                          std::filesystem::copy_options::recursive);
    PageletWindow window(temp.overrides);
    ASSERT_TRUE(window.start());
    window.show();
    EXPECT_EQ(tooltipFor(CMD_PREV_DAY), "Previous Day (Ctrl+PgUp)");
    QtVoiceRecorder recorder(h.messages, [](int) {}, h.zoom, [&window]() -> PageStore& { return window.dialog().pages(); });
    ASSERT_NE(recorder.create({28, 0x44, 10, 10, &window, 102, window.dialog().pages().memoPath({2026, 12, 7})}), 0);
    struct {
        const char* what;
        QWidget& widget;
    } windows[] = {{"search", search}, {"menu", window.menu().menu()}, {"recorder", *recorder.window()}};
    for (const auto& w : windows)
        for (const QString& text : shownTexts(w.widget))
            EXPECT_FALSE(hasHangul(text)) << w.what << ": " << text.toStdString();
    QStringList menu;
    menuTexts(window.menu().menu(), menu);
    EXPECT_TRUE(menu.contains("About Pagelet")) << menu.join('|').toStdString();
    recorder.window()->close();

    // The export's headings and its report, counted in English.
    EXPECT_EQ(exportMarkdown({{{2026, 12, 8}, {1, u"x"}}}), "## 2026-12-08 (Tue)\n\nWeather: Partly cloudy\n\nx\n");
    const QString folder = temp.root + "/diary";
    const QString file = diary.path() + "/out.md";
    PlainPageStore store(fromQString(folder) + u"/");
    for (int days = 1; days <= 2; ++days) {
        store.write({2026, 12, days}, {0, u"page"});
        EXPECT_EQ(exportDiaryToFile(store, file, false).message,
                  QString(days == 1 ? "Exported 1 day of the diary.\n%1" : "Exported 2 days of the diary.\n%1").arg(file));
    }
    EXPECT_TRUE(temp.messages.shown.empty());
}

TEST(DialogTexts, FitTheirControlsInBothLanguages)
{
    for (UiLanguage language : {UiLanguage::Korean, UiLanguage::English}) {
        const UiTranslations translations(language);
        Handlers h;
        for (const auto& d : h.dialogs_) {
            QtDialog dialog(*dialogTemplate(d.templateId), d.handler, h.zoom);
            d.handler.OnInitDialog(dialog);
            dialog.grab(); // the calendar names its month as it paints
            QApplication::processEvents();
            for (QWidget* w : dialog.findChildren<QWidget*>()) {
                const QFontMetrics metrics(w->font());
                QString text;
                QRect room;
                if (auto* label = qobject_cast<QLabel*>(w); label && label->pixmap().isNull()) {
                    text = label->text();
                    room = label->contentsRect();
                } else if (auto* tool = qobject_cast<QToolButton*>(w); tool && !tool->text().isEmpty()) {
                    // The calendar's month and year.
                    text = tool->text();
                    room = tool->contentsRect();
                } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
                    // The place the style leaves the text inside the frame, or beside the box.
                    QStyleOptionButton option;
                    option.initFrom(button);
                    option.text = button->text();
                    const bool box = qobject_cast<QCheckBox*>(w);
                    room = w->style()->subElementRect(box ? QStyle::SE_CheckBoxContents : QStyle::SE_PushButtonContents,
                                                      &option, w);
                    text = button->text();
                }
                if (text.isEmpty())
                    continue;
                const QRect needed = metrics.boundingRect(QRect(0, 0, 1000, 1000), Qt::AlignLeft | Qt::AlignTop, text);
                EXPECT_LE(needed.width(), room.width()) << d.caption << ": " << text.toStdString();
                EXPECT_LE(needed.height(), room.height()) << d.caption << ": " << text.toStdString();
            }
        }
    }
}

// The skins' date pictures are Korean: on an English desktop the date line is written in
// English, and on a Korean one the pictures stay as they were.
TEST(English, TheDateLineIsWrittenInTheDesktopsLanguage)
{
    qttest::TempInstall temp;
    temp.install(Settings());
    std::filesystem::copy(PAGELET_RES_DIR "/skins/default", toUtf8(fromQString(temp.root)) + "/skin/default",
                          std::filesystem::copy_options::recursive);
    auto dateLine = [&](UiLanguage language) {
        const UiTranslations translations(language);
        PageletWindow window(temp.overrides);
        EXPECT_TRUE(window.start());
        window.show();
        const QImage shot = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
        return shot.copy(0, 0, 140, 22);
    };
    const QImage korean = dateLine(UiLanguage::Korean);
    const QImage english = dateLine(UiLanguage::English);
    EXPECT_NE(korean, english);
    const QImage again = dateLine(UiLanguage::Korean);
    EXPECT_EQ(korean, again);
    // Words were drawn there, not left out.
    auto dark = [](const QImage& image) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += qGray(image.pixel(x, y)) < 60;
        return n;
    };
    EXPECT_GT(dark(english), 40);
}
