#include "qt/PageletWindow.h"

#include "qt/QtEditControl.h"
#include "qt/QtMonthCalendar.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QInputMethod>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

namespace pagelet {

PageletWindow::PageletWindow(const WindowOverrides& o)
{
    setWindowTitle(QStringLiteral("Pagelet"));
    setFixedSize(kClientWidth, kClientHeight);
    setAttribute(Qt::WA_OpaquePaintEvent); // the paint covers everything; never erase first
    setWindowIcon(QIcon(QStringLiteral(":/pagelet/icon.png")));

    m_calendar = new QtMonthCalendar(this);
    m_edit = new QtEditControl(this);
    m_edit->hide();

    MainDialogPorts ports {*this,
                           o.messages ? *o.messages : m_messages,
                           m_registry,
                           o.exit ? *o.exit : m_exit,
                           *m_calendar,
                           *m_edit,
                           m_graphics,
                           o.clock ? *o.clock : m_clock,
                           o.dialogs ? *o.dialogs : m_dialogs,
                           m_softInput,
                           m_caseFolding};
    m_dialog = std::make_unique<MainDialog>(ports);
    m_edit->attach(&m_dialog->editor());

    ShownDay& day = m_dialog->day();
    m_calendar->dayPicked = [&day](const LocalDate& d) { day.onDayPicked(d); };
    m_calendar->selectionMoved = [&day](const LocalDate& d) { day.onSelectionChanged(d); };
    m_calendar->dayStatesRequested = [&day] { day.onDayStatesRequested(); };

    connect(QGuiApplication::inputMethod(), &QInputMethod::keyboardRectangleChanged, this,
            &PageletWindow::onKeyboardRectangleChanged);
}

PageletWindow::~PageletWindow()
{
    if (!m_destroyed)
        m_dialog->OnDestroy();
    // ~QWidget still hides the window and moves the focus after the dialog has gone: nothing
    // it sets off may reach the dialog.
    disconnect(QGuiApplication::inputMethod(), nullptr, this, nullptr);
    m_calendar->dayPicked = nullptr;
    m_calendar->selectionMoved = nullptr;
    m_calendar->dayStatesRequested = nullptr;
    m_edit->attach(nullptr);
}

bool PageletWindow::start()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect avail = screen->availableGeometry();
        move(avail.center() - QPoint(kClientWidth / 2, kClientHeight / 2));
    }
    return m_dialog->OnInitDialog();
}

Size PageletWindow::clientSize()
{
    return {width(), height()};
}

void PageletWindow::invalidate()
{
    m_overlay.reset();
    update();
}

void PageletWindow::invalidate(const Rect& rect)
{
    m_overlay.reset();
    update(QRect(rect.left, rect.top, rect.width(), rect.height()));
}

void PageletWindow::drawNow(const Rect& rect, const std::function<void(Surface&)>& draw)
{
    // Qt paints only inside paint events: keep the drawing and paint that spot now.
    m_overlay = Overlay {rect, draw};
    repaint(QRect(rect.left, rect.top, rect.width(), rect.height()));
}

int PageletWindow::sendCommand(int command, std::intptr_t wParam, std::intptr_t lParam)
{
    return m_dialog->onCommand(command, wParam, lParam);
}

void PageletWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QtSurface surface(painter, clientSize());
    m_dialog->OnPaint(surface);
    if (m_overlay)
        m_overlay->draw(surface);
}

void PageletWindow::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_dialog->OnLButtonDown(event->position().toPoint().x(), event->position().toPoint().y());
}

void PageletWindow::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_dialog->OnLButtonUp();
}

void PageletWindow::closeEvent(QCloseEvent* event)
{
    if (!m_dialog->OnClose()) {
        event->ignore();
        return;
    }
    m_dialog->OnDestroy();
    m_destroyed = true;
    event->accept();
}

void PageletWindow::onKeyboardRectangleChanged()
{
    const QInputMethod* im = QGuiApplication::inputMethod();
    const QRectF r = im->keyboardRectangle();
    const bool on = im->isVisible() && !r.isEmpty();
    const int top = static_cast<int>(r.top()); // already in window coordinates
    m_dialog->onSoftInputPanelChanged(true, on, top);
}

} // namespace pagelet
