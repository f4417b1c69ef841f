#include "qt/start/SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QSocketNotifier>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace pagelet {

namespace {

constexpr int kAnswerWaitMs = 3000;
constexpr int kRequestWaitMs = 500;
constexpr qsizetype kMaxTokenBytes = 4096;

socklen_t addressFor(const QByteArray& key, sockaddr_un& address)
{
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    // A leading NUL puts the name in the abstract namespace: no file, gone with the process.
    std::memcpy(address.sun_path + 1, key.constData(), size_t(key.size()));
    return socklen_t(offsetof(sockaddr_un, sun_path) + 1 + size_t(key.size()));
}

enum class Answer { Nobody, Ours, Foreign };

// The name is open to every user of the machine: only a listener of our own user counts.
bool sameUser(int fd)
{
    ucred peer {};
    socklen_t length = sizeof peer;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0 && peer.uid == ::getuid();
}

// Asks the running copy to come to the front, handing over the activation token this copy was
// started with (a Wayland window may come forward only with one).
Answer askRunningCopy(const QByteArray& key, const QByteArray& token)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return Answer::Nobody;
    sockaddr_un address;
    const socklen_t length = addressFor(key, address);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), length) != 0) {
        ::close(fd);
        return Answer::Nobody;
    }
    if (!sameUser(fd)) {
        ::close(fd);
        return Answer::Foreign;
    }
    const QByteArray request = token + '\n';
    [[maybe_unused]] auto sent = ::send(fd, request.constData(), size_t(request.size()), MSG_NOSIGNAL);
    // Wait a little for the answer so the window is up front when this copy is gone; a busy
    // copy still got the request.
    pollfd p {fd, POLLIN, 0};
    if (::poll(&p, 1, kAnswerWaitMs) > 0) {
        char answer;
        [[maybe_unused]] auto n = ::read(fd, &answer, 1);
    }
    ::close(fd);
    return Answer::Ours;
}

// The token line of a request; empty when the asking copy had none or sent nothing in time.
QByteArray readRequest(int fd)
{
    QByteArray line;
    char buffer[256];
    pollfd p {fd, POLLIN, 0};
    while (line.size() < kMaxTokenBytes && !line.contains('\n') && ::poll(&p, 1, kRequestWaitMs) > 0) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0)
            break;
        line.append(buffer, n);
    }
    const qsizetype end = line.indexOf('\n');
    return end < 0 ? QByteArray() : line.left(end);
}

} // namespace

SingleInstance::SingleInstance(const QString& installFolder) : m_key(keyFor(installFolder)) {}

SingleInstance::~SingleInstance()
{
    delete m_notifier;
    if (m_fd >= 0)
        ::close(m_fd);
}

QByteArray SingleInstance::keyFor(const QString& installFolder)
{
    const QFileInfo info(installFolder);
    QString folder = info.canonicalFilePath();
    if (folder.isEmpty())
        folder = QDir::cleanPath(info.absoluteFilePath());
    const QByteArray id = QByteArray::number(::getuid()) + '\0' + folder.toUtf8();
    return "pagelet/" + QCryptographicHash::hash(id, QCryptographicHash::Sha256).toHex().left(40);
}

SingleInstance::Claim SingleInstance::claim()
{
    // A copy that is starting or ending can hold the name without listening: try again briefly.
    for (int attempt = 0; attempt < 40; ++attempt) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (fd < 0)
            return Claim::Failed;
        sockaddr_un address;
        const socklen_t length = addressFor(m_key, address);
        if (::bind(fd, reinterpret_cast<sockaddr*>(&address), length) == 0 && ::listen(fd, 8) == 0) {
            m_fd = fd;
            m_notifier = new QSocketNotifier(fd, QSocketNotifier::Read);
            connect(m_notifier, &QSocketNotifier::activated, this, &SingleInstance::onIncoming);
            return Claim::Mine;
        }
        const int error = errno;
        ::close(fd);
        if (error != EADDRINUSE)
            return Claim::Failed;
        switch (askRunningCopy(m_key, qgetenv("XDG_ACTIVATION_TOKEN"))) {
        case Answer::Ours: return Claim::Elsewhere;
        case Answer::Foreign: return Claim::Failed; // someone else's: this start goes on
        case Answer::Nobody: break;
        }
        ::usleep(50 * 1000);
    }
    return Claim::Failed;
}

void SingleInstance::onIncoming()
{
    for (;;) {
        const int client = ::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0)
            return;
        if (sameUser(client)) {
            const QByteArray token = readRequest(client);
            if (raiseRequested)
                raiseRequested(token);
        }
        // The asking copy may be gone already; that must not end this one.
        [[maybe_unused]] auto n = ::send(client, "1", 1, MSG_NOSIGNAL);
        ::close(client);
    }
}

} // namespace pagelet
