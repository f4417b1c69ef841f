#include "qt/window/PageletWindow.h"

#include "platform/Commands.h"
#include "qt/search/ExportAction.h"
#include "qt/search/ImportAction.h"
#include "qt/window/EarlierYearsMenu.h"
#include "qt/editor/QtEditControl.h"
#include "qt/dialogs/QtMonthCalendar.h"
#include "qt/search/SearchWindow.h"
#include "qt/window/HistoryDialog.h"
#include "qt/window/Shortcuts.h"
#include "qt/graphics/ProgramIcon.h"
#include "qt/window/WindowAccessible.h"
#include "qt/window/WindowMenu.h"
#include "qt/dialogs/DayWords.h"
#include "settings/RegistryKey.h"

#include <QAccessible>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QToolTip>
#include <algorithm>
#include <QGuiApplication>
#include <QInputMethod>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScreen>

namespace pagelet {

namespace {

// The stored value "Zoom" (absent, unreadable or not a step: 100).
int storedZoom()
{
    QtRegistry registry;
    registry.open(kRegistryKeyPath);
    bool ok = false;
    const int value = toQString(registry.read(kZoomValue).value_or(u"")).toInt(&ok);
    for (int s : Zoom::kSteps)
        if (ok && s == value)
            return value;
    return 100;
}

void storeZoom(int percent)
{
    QtRegistry registry;
    registry.open(kRegistryKeyPath);
    registry.write(kZoomValue, QString::number(percent).toStdU16String());
}

} // namespace

PageletWindow::PageletWindow(const WindowOverrides& o)
    : m_recorder(o.messages ? *o.messages : m_messages, [this](int code) { m_dialog->OnNotify(code); }, m_zoom,
                 [this]() -> PageStore& { return m_dialog->pages(); }),
      m_edit([this] { return new QtEditControl(this, m_zoom); }, [this](QtEditControl& edit) { setUpEditor(edit); })
{
    setWindowTitle(QStringLiteral("Pagelet"));
    installWindowAccessibility();
    setFixedSize(m_zoom.scaled(kClientWidth), m_zoom.scaled(kClientHeight));
    setAttribute(Qt::WA_OpaquePaintEvent); // the paint covers everything; never erase first

    MainDialogPorts ports {*this,
                           o.messages ? *o.messages : m_messages,
                           m_registry,
                           o.exit ? *o.exit : m_exit,
                           m_calendar,
                           m_edit,
                           m_graphics,
                           o.clock ? *o.clock : m_clock,
                           o.dialogs ? *o.dialogs : m_dialogs,
                           m_softInput,
                           o.recorder ? *o.recorder : m_recorder,
                           m_caseFolding};
    m_dialog = std::make_unique<MainDialog>(ports);
    if (QtEditControl* edit = m_edit.built())
        edit->attach(&m_dialog->editor());
    m_journalTimer = new QTimer(this);
    m_journalTimer->setSingleShot(true);
    m_journalTimer->setInterval(1000);
    connect(m_journalTimer, &QTimer::timeout, this, [this] {
        if (!m_destroyed)
            m_dialog->pageJournal().keep();
    });

    DayNavigation& navigation = m_dialog->navigation();
    m_calendar.dayPicked = [this, &navigation](const LocalDate& d) {
        commitComposition();
        navigation.onDayPicked(d);
    };
    DayCalendar& calendar = m_dialog->calendar();
    m_calendar.selectionMoved = [&calendar](const LocalDate& d) { calendar.onSelectionChanged(d); };
    m_calendar.dayStatesRequested = [&calendar] { calendar.onDayStatesRequested(); };

    connect(QGuiApplication::inputMethod(), &QInputMethod::keyboardRectangleChanged, this,
            &PageletWindow::onKeyboardRectangleChanged);

    MainDialog& dialog = *m_dialog;
    m_calendar.keyboardClosed = [&dialog] { dialog.closeCalendar(); };
    m_watch = new FolderWatch(this, m_dialog->pages(), [&dialog] { return dialog.settings().dataPath; });
}

// Built with the page, not before the first paint: its actions and their keys are a good part
// of what the window costs to make.
WindowMenu& PageletWindow::menu()
{
    if (m_menu)
        return *m_menu;
    MainDialog& dialog = *m_dialog;
    m_menu = new WindowMenu(*this, m_zoom,
                            {[this](int c) { return tap(c); }, [&dialog](int c) { return dialog.canTap(c); },
                             [this](int percent) { zoomTo(percent); }, [this] { close(); }, [this] { commitComposition(); },
                             [this](const QPoint& at) { popupMenu(at); }});
    // The page's own menu is out of the keyboard's reach (the menu keys open this one).
    const auto shown = [this] { return m_edit.built() && m_edit.built()->isVisible(); };
    m_menu->addPageEntry(
        tr("복사"), QKeySequence::Copy, [this, shown] { return shown() && m_edit.built()->textCursor().hasSelection(); },
        [this] { editControl().copy(); });
    m_menu->addPageEntry(tr("모두 선택"), QKeySequence::SelectAll, shown, [this] {
        editControl().selectAll();
        editControl().setFocus();
    });
    // Beyond the month: every year searched, and the diary exported. A jump from the search
    // leaves the shown page as the find dialog's OK does: stored first, or no jump.
    m_menu->addEntry(tr("모든 일기에서 찾기..."), QKeySequence(QStringLiteral("Ctrl+Shift+F")), [this] {
        openSearchWindow(
            this, m_dialog->settings().dataPath,
            [this](const LocalDate& d) { return m_dialog->navigation().showFoundDay(fromLocal(d)); },
            [this] { return std::shared_ptr<const PageStore>(m_dialog->storeOfItsOwn()); });
    });
    m_menu->addEntry(tr("내보내기..."), QKeySequence(QStringLiteral("Ctrl+Shift+E")),
                     [this] { exportDiaryWithDialog(this, m_dialog->pages()); });
    m_menu->addEntry(tr("이전 내용..."), QKeySequence(QStringLiteral("Ctrl+H")), [this] { showHistoryDialog(this, *m_dialog); });
    m_menu->addEntry(tr("가져오기..."), QKeySequence(QStringLiteral("Ctrl+Shift+I")),
                     [this] { importWithDialog(this, m_dialog->day(), m_dialog->navigation(), m_dialog->pages()); });
    new EarlierYearsMenu(*m_menu->addSubmenu(tr("지난 해 오늘"), QKeySequence(QStringLiteral("Ctrl+Shift+Y"))),
                         m_dialog->pages(),
                         {[this] { return localDate(m_dialog->day().selectedDay()); },
                          [this](const LocalDate& d) {
                              commitComposition();
                              return m_dialog->navigation().showFoundDay(fromLocal(d));
                          }});
    m_menu->refresh();
    return *m_menu;
}

PageletWindow::~PageletWindow()
{
    if (!m_destroyed)
        m_dialog->OnDestroy();
    // ~QWidget still hides the window and moves the focus after the dialog has gone: nothing
    // it sets off may reach the dialog.
    disconnect(QGuiApplication::inputMethod(), nullptr, this, nullptr);
    m_calendar.dayPicked = nullptr;
    m_calendar.keyboardClosed = nullptr;
    m_calendar.selectionMoved = nullptr;
    m_calendar.dayStatesRequested = nullptr;
    if (QtEditControl* edit = m_edit.built())
        edit->attach(nullptr);
}

void PageletWindow::setUpEditor(QtEditControl& edit)
{
    edit.hide();
    if (m_dialog) {
        edit.attach(&m_dialog->editor());
        edit.applyZoom(m_dialog->editor().area);
    }
    namePage(edit);
    connect(&edit, &QPlainTextEdit::textChanged, this, &PageletWindow::journalSoon);
    edit.installEventFilter(this);
    edit.viewport()->installEventFilter(this);
}

bool PageletWindow::start()
{
    if (!beginStart())
        return false;
    finishStart();
    return true;
}

bool PageletWindow::startPaintingFirst()
{
    if (!beginStart())
        return false;
    m_afterPaint = AfterPaint::ShowPage;
    // A window that is never exposed (started minimised) still gets its page.
    QTimer::singleShot(500, this, &PageletWindow::finishStart);
    return true;
}

void PageletWindow::finishStart()
{
    // Every key and click asks: once the start is done, nothing more.
    if (!m_begun || m_dialog->startSettled())
        return;
    showStartPage();
    m_afterPaint = AfterPaint::Nothing;
    m_dialog->settleStart();
    // Watched from here on: the watch is a kernel object whose teardown at the process's end
    // costs more than the whole start, and nothing changed outside can matter before now.
    m_watch->refresh();
}

void PageletWindow::showStartPage()
{
    if (!m_begun || m_dialog->startFinished())
        return;
    menu();
    // After the first paint too: sent to the display, it held the first paint up by a tenth.
    setWindowIcon(QPixmap::fromImage(programIconImage()));
    m_dialog->finishStart();
    m_afterPaint = AfterPaint::Settle;
    invalidate();
}

bool PageletWindow::beginStart()
{
    // Read before the start-up dialogs, which show at the same zoom. A step that no longer
    // fits the screen gives way to the largest that does; the stored one stays for a larger
    // screen.
    fitZoomToScreen();
    m_zoom.set(storedZoom());
    applyZoom();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect avail = screen->availableGeometry();
        move(avail.center() - QPoint(width() / 2, height() / 2));
    }
    m_begun = m_dialog->beginStart();
    if (m_begun)
        tellScreenReader();
    return m_begun;
}

void PageletWindow::zoomTo(int percent)
{
    fitZoomToScreen();
    if (!m_zoom.allows(percent) || !m_zoom.set(percent))
        return;
    storeZoom(m_zoom.percent());
    applyZoom();
    // Grown from its top-left corner: keep the whole window on its screen.
    if (const QScreen* screen = this->screen()) {
        const QRect avail = screen->availableGeometry();
        const QRect frame = frameGeometry();
        const int x = std::max(avail.left(), std::min(frame.left(), avail.right() + 1 - frame.width()));
        const int y = std::max(avail.top(), std::min(frame.top(), avail.bottom() + 1 - frame.height()));
        move(pos() + QPoint(x, y) - frame.topLeft());
    }
}

void PageletWindow::applyZoom()
{
    setFixedSize(m_zoom.scaled(kClientWidth), m_zoom.scaled(kClientHeight));
    if (QtEditControl* edit = m_edit.built())
        edit->applyZoom(m_dialog->editor().area);
    m_calendar.applyZoom();
    if (m_menu)
        m_menu->refresh();
    m_dialog->editor().needsRedraw = true;
    invalidate();
}

// In device-independent pixels, so a scale factor counts; the frame, once the window has one,
// takes its room too.
void PageletWindow::fitZoomToScreen()
{
    if (const QScreen* screen = this->screen())
        m_zoom.allowUpTo(Zoom::largestFitting({kClientWidth, kClientHeight}, frameGeometry().size() - size(),
                                              screen->availableGeometry().size()));
}

void PageletWindow::journalSoon()
{
    if (!m_journalTimer->isActive())
        m_journalTimer->start();
}

bool PageletWindow::tap(int command)
{
    finishStart(); // a menu's key can come before the first paint
    journalSoon(); // the weather button changes the page without a key

    const bool calendarWasOpen = m_dialog->calendar().visible();
    if (!m_dialog->tap(command))
        return false;
    // Opened from the keyboard: the keys move through its days.
    if (command == CMD_CALENDAR && !calendarWasOpen && m_dialog->calendar().visible())
        m_calendar.widget().takeKeyboard();
    return true;
}

// The core draws at 100 %: its size, whatever the zoom.
Size PageletWindow::clientSize()
{
    return {m_zoom.unscaled(width()), m_zoom.unscaled(height())};
}

void PageletWindow::clickAt(int x, int y)
{
    finishStart();
    m_dialog->OnLButtonDown(x, y);
    m_dialog->OnLButtonUp();
    journalSoon();
}

void PageletWindow::tellScreenReader()
{
    if (!m_begun)
        return;
    // The caption stays "Pagelet"; a screen reader hears which day is shown.
    const DayValue day = m_dialog->day().selectedDay();
    if (day != m_namedDay) {
        m_namedDay = day;
        setAccessibleName(tr("Pagelet - %1").arg(dayInWords(localDate(day))));
        if (QtEditControl* edit = m_edit.built())
            namePage(*edit);
    }
    if (QAccessible::isActive())
        if (auto* iface = dynamic_cast<WindowAccessible*>(QAccessible::queryAccessibleInterface(this)))
            iface->refresh();
}

void PageletWindow::namePage(QtEditControl& edit)
{
    if (m_namedDay)
        edit.setAccessibleName(tr("%1의 일기").arg(dayInWords(localDate(*m_namedDay))));
}

void PageletWindow::invalidate()
{
    m_overlay.reset();
    update();
    tellScreenReader();
    // A whole repaint follows every change of day and of data folder: the watch goes along.
    if (m_watch && m_dialog->startSettled())
        m_watch->refresh();
}

void PageletWindow::invalidate(const Rect& rect)
{
    m_overlay.reset();
    update(m_zoom.scaled(rect).adjusted(-1, -1, 1, 1));
    tellScreenReader();
}

void PageletWindow::drawNow(const Rect& rect, const std::function<void(Surface&)>& draw)
{
    // Qt paints only inside paint events: keep the drawing and paint that spot now.
    m_overlay = Overlay {rect, draw};
    repaint(m_zoom.scaled(rect).adjusted(-1, -1, 1, 1));
}

// Every button, its key and its menu entry come through here: a syllable still being composed
// belongs to the page it was typed on, before the command moves, saves or stamps it.
int PageletWindow::sendCommand(int command, std::intptr_t wParam, std::intptr_t lParam)
{
    commitComposition();
    return m_dialog->onCommand(command, wParam, lParam);
}

void PageletWindow::commitComposition()
{
    if (QtEditControl* edit = m_edit.built())
        edit->commitComposition();
}

void PageletWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    // Whole steps repeat each picture pixel; no smoothing, so skins stay sharp.
    painter.scale(m_zoom.factor(), m_zoom.factor());
    QtSurface surface(painter, clientSize());
    m_dialog->OnPaint(surface);
    if (m_overlay)
        m_overlay->draw(surface);
    // Posted, so it runs once this frame is on the screen.
    if (m_afterPaint == AfterPaint::ShowPage) {
        m_afterPaint = AfterPaint::Nothing;
        QMetaObject::invokeMethod(this, &PageletWindow::showStartPage, Qt::QueuedConnection);
    }
}

void PageletWindow::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_dialog->OnLButtonDown(m_zoom.pixelAt(event->position().x()), m_zoom.pixelAt(event->position().y()));
}

void PageletWindow::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        m_dialog->OnLButtonUp();
        journalSoon();
    }
}

void PageletWindow::closeEvent(QCloseEvent* event)
{
    commitComposition();
    if (!m_dialog->OnClose()) {
        event->ignore();
        return;
    }
    m_dialog->OnDestroy();
    m_destroyed = true;
    event->accept();
}

void PageletWindow::contextMenuEvent(QContextMenuEvent* event)
{
    popupMenu(event->globalPos());
}

void PageletWindow::popupMenu(const QPoint& at)
{
    commitComposition();
    fitZoomToScreen();
    menu().popup(at);
}

void PageletWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && m_dialog->closeCalendar())
        return;
    QWidget::keyPressEvent(event);
}

bool PageletWindow::event(QEvent* event)
{
    // Whatever the user does first finds the whole page in place.
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::Close:
        finishStart();
        break;
    default:
        break;
    }
    // The zoom keys ask for the next step that fits where the window is now.
    if (event->type() == QEvent::Show || event->type() == QEvent::Move)
        fitZoomToScreen();
    if (event->type() != QEvent::ToolTip)
        return QWidget::event(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    const int x = m_zoom.pixelAt(help->pos().x()), y = m_zoom.pixelAt(help->pos().y());
    for (const auto& e : m_dialog->skin().elements) {
        if (!e->rect.contains(x, y))
            continue;
        const QString tip = tooltipFor(e->command);
        if (!tip.isEmpty()) {
            QToolTip::showText(help->globalPos(), tip, this, m_zoom.scaled(e->rect));
            return true;
        }
        break;
    }
    QToolTip::hideText();
    event->ignore();
    return true;
}

// The editor would take some of the window's keys for its own (Ctrl+E ends a line on X11).
bool PageletWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride &&
        menu().isWindowKey(QKeySequence(static_cast<QKeyEvent*>(event)->keyCombination())))
        return true; // left unaccepted, so the window's action runs
    // The page's first paint: the rest of the start once it is on the screen, behind whatever
    // else waits.
    if (event->type() == QEvent::Paint && m_afterPaint == AfterPaint::Settle && m_edit.built()
        && watched == m_edit.built()->viewport()) {
        m_afterPaint = AfterPaint::Nothing;
        QTimer::singleShot(0, this, &PageletWindow::finishStart);
    }
    return QWidget::eventFilter(watched, event);
}

void PageletWindow::onKeyboardRectangleChanged()
{
    const QInputMethod* im = QGuiApplication::inputMethod();
    const QRectF r = im->keyboardRectangle();
    const bool on = im->isVisible() && !r.isEmpty();
    const int top = m_zoom.pixelAt(r.top()); // in window coordinates, at the zoom
    m_dialog->onSoftInputPanelChanged(true, on, top);
}

} // namespace pagelet
