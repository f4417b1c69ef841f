#include "qt/start/QuitSignals.h"

#include <QSocketNotifier>
#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace pagelet {

namespace {

constexpr std::array<int, 3> kSignals {SIGTERM, SIGHUP, SIGINT};
int g_pair[2] = {-1, -1};
struct sigaction g_old[kSignals.size()];
bool g_installed[kSignals.size()] = {};

void onSignal(int number)
{
    const int saved = errno;
    const char byte = char(number);
    [[maybe_unused]] auto n = ::write(g_pair[0], &byte, 1);
    errno = saved;
}

} // namespace

QuitSignals::QuitSignals()
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_pair) != 0)
        return;
    // A full pipe must never block the handler; a lost repeat of a signal is harmless.
    ::fcntl(g_pair[0], F_SETFL, O_NONBLOCK);
    ::fcntl(g_pair[1], F_SETFL, O_NONBLOCK);
    m_notifier = new QSocketNotifier(g_pair[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &QuitSignals::onReadable);

    for (size_t i = 0; i < kSignals.size(); ++i) {
        if (::sigaction(kSignals[i], nullptr, &g_old[i]) != 0 || g_old[i].sa_handler == SIG_IGN)
            continue;
        struct sigaction action {};
        action.sa_handler = onSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        g_installed[i] = ::sigaction(kSignals[i], &action, nullptr) == 0;
    }
}

QuitSignals::~QuitSignals()
{
    for (size_t i = 0; i < kSignals.size(); ++i) {
        if (g_installed[i])
            ::sigaction(kSignals[i], &g_old[i], nullptr);
        g_installed[i] = false;
    }
    delete m_notifier;
    for (int& fd : g_pair) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

void QuitSignals::onReadable()
{
    char byte;
    while (::read(g_pair[1], &byte, 1) == 1) {
        if (received)
            received(static_cast<unsigned char>(byte));
    }
}

} // namespace pagelet
