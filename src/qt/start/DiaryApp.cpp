#include "qt/start/DiaryApp.h"

#include "qt/window/PageletWindow.h"
#include "qt/ports/QtPlatform.h"
#include "qt/start/DailyBackup.h"
#include "qt/start/QuitSignals.h"
#include "qt/start/SingleInstance.h"
#include "qt/start/UserInstall.h"
#include "settings/ConfigFile.h"
#include "settings/RegistryKey.h"
#include "state/StateFolder.h"

#include <QLocale>
#include <QMessageBox>
#include <QSessionManager>
#include <cstdio>

namespace pagelet {

namespace {

QString registeredInstall()
{
    QtRegistry registry;
    registry.open(kRegistryKeyPath);
    return toQString(registry.read(kProgramPathValue).value_or(u""));
}

void bringToFront(QWidget& window, const QByteArray& token)
{
    QWidget* target = QApplication::activeModalWidget();
    if (!target && window.isVisible())
        target = &window;
    if (!target)
        return;
    target->setWindowState(target->windowState() & ~Qt::WindowMinimized);
    target->raise();
    // On Wayland a window may take the focus only with a token from the desktop's launch of the
    // second copy; Qt activates with the one it finds in the environment.
    const bool wayland = QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
    if (wayland && !token.isEmpty())
        qputenv("XDG_ACTIVATION_TOKEN", token);
    target->activateWindow();
    if (wayland)
        qunsetenv("XDG_ACTIVATION_TOKEN");
}

} // namespace

DiaryApp::DiaryApp(int& argc, char** argv)
    : QApplication(argc, argv), m_translations(desktopLanguage(QLocale::system().uiLanguages()))
{
    setOrganizationName(QStringLiteral("Tarnwick"));
    setApplicationName(QStringLiteral("Pagelet"));
    setApplicationVersion(QStringLiteral(PAGELET_VERSION));
    setDesktopFileName(QStringLiteral(PAGELET_APP_ID));
    setQuitOnLastWindowClosed(true);
}

int DiaryApp::InitInstance(bool desktop)
{
    QString install = registeredInstall();
    // The installer is started only for a user who has no install yet, not at every start.
    if (desktop && install.isEmpty()) {
        QString error;
        if (!makeUserInstall(error)) {
            QMessageBox::critical(nullptr, QStringLiteral("Pagelet"),
                                  QCoreApplication::translate("DiaryApp", "Pagelet을 설치하지 못했습니다.\n\n%1").arg(error));
            return 1;
        }
        install = registeredInstall();
    }

    // A second copy on one install would overwrite the first one's pages.
    std::unique_ptr<SingleInstance> single;
    if (!install.isEmpty()) {
        single = std::make_unique<SingleInstance>(install);
        const auto claim = single->claim();
        if (claim == SingleInstance::Claim::Elsewhere)
            return 0;
        if (claim == SingleInstance::Claim::Failed)
            std::fprintf(stderr, "pagelet: cannot tell whether another copy runs on %s\n", qPrintable(install));
    }

    PageletWindow window;
    // Fixed size: the skin is drawn for it, so there is nothing to maximise.
    window.setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    if (single)
        single->raiseRequested = [&window](const QByteArray& token) { bringToFront(window, token); };
    // A version that can't be kept never stops a save; it is said once per run.
    // Told on the history's thread; said on the window's.
    window.dialog().keepHistoryUnder(StateFolder::defaultRoot(), [&window] {
        QMetaObject::invokeMethod(&window, [&window] {
            QMessageBox::warning(&window, QStringLiteral("Pagelet"),
                                 PageletWindow::tr("이전 내용을 보관하지 못했습니다. 일기는 그대로 저장됩니다."));
        }, Qt::QueuedConnection);
    });
    if (!window.startPaintingFirst())
        return 0;

    QuitSignals quitSignals;
    quitSignals.received = [this, &window](int) { endWithoutQuestion(window); };
    connect(this, &QGuiApplication::commitDataRequest, &window,
            [this, &window](QSessionManager& manager) { onCommitData(window, manager); });
    // Quitting by any other road than the close button (the session's end) still keeps the page.
    connect(this, &QCoreApplication::aboutToQuit, &window, [&window] {
        if (window.isVisible())
            window.dialog().storeOrKeepBeforeQuit();
    });

    window.show();
    const Settings& settings = window.dialog().settings();
    std::vector<AutoBackup> backups;
    for (std::u16string& folder : DailyBackup::foldersFor(settings.dataPath))
        backups.emplace_back(std::move(folder), settings.dataPath, settings.programPath + kConfigFileName, !backups.empty());
    DailyBackup backup(&window, std::move(backups));
    const int status = exec();
    // Hidden while everything it talks to still exists.
    window.hide();
    if (single)
        single->raiseRequested = nullptr;
    return status;
}

void DiaryApp::endWithoutQuestion(PageletWindow& window)
{
    if (m_ending)
        return; // a repeated signal while the page is being stored
    m_ending = true;
    // A page that can't be written stays in the crash journal, offered at the next start; only
    // when even that fails does the window stay with it (the user was told).
    const bool kept = window.dialog().storeOrKeepBeforeQuit();
    m_ending = false;
    if (kept)
        exit(0);
}

void DiaryApp::onCommitData(PageletWindow& window, QSessionManager& manager)
{
    if (!window.dialog().storeOrKeepBeforeQuit())
        manager.cancel();
}

} // namespace pagelet
