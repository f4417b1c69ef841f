#include "platform/Commands.h"
#include "app/MainDialog.h"
#include "base/FileIo.h"
#include "platform/EditControl.h"
#include "platform/Graphics.h"
#include "platform/MainWindow.h"

namespace pagelet {

namespace {

constexpr Color kNoBackgroundFill = rgb(0, 0, 255);

void drawNormal(Surface& s, const SkinElement& e)
{
    if (e.strip)
        s.drawCell(*e.strip, e.cell, e.rect.topLeft());
}

void drawPressed(Surface& s, const SkinElement& e)
{
    if (e.strip)
        s.drawCellSelected(*e.strip, e.cell, e.rect.topLeft());
    s.drawSunkenEdge(e.rect.inflated(1));
}

void drawCell(Surface& s, const std::unique_ptr<ImageStrip>& strip, int cell, const Rect& at)
{
    if (strip)
        s.drawCell(*strip, cell, at.topLeft());
}

} // namespace

void MainDialog::OnPaint(Surface& window)
{
    const Size client = m_ports.window.clientSize();
    if (!skin.background) {
        window.fill({0, 0, client.width, client.height}, kNoBackgroundFill);
        return;
    }
    window.copyBitmap(*skin.background, {0, 0}, {0, 0, client.width, client.height});
    // A smaller background (after a skin change) leaves the rest of the window uncovered.
    const Size b = skin.background->size();
    if (b.width < client.width)
        window.fill({b.width, 0, client.width, client.height}, kNoBackgroundFill);
    if (b.height < client.height)
        window.fill({0, b.height, std::min(b.width, client.width), client.height}, kNoBackgroundFill);

    for (const auto& e : skin.elements) {
        drawNormal(window, *e);
        if (e->command == CMD_VOICE && isFile(memoPath(selectedDay)))
            window.drawSunkenEdge(e->rect.inflated(1));
    }

    const LocalTime t = toLocal(selectedDay);
    const int m = t.date.month;
    const int d = t.date.day;
    const auto& cells = skin.dateCells;
    if (m >= 10) {
        drawCell(window, skin.numberStrip, 1, cells[0]);
        drawCell(window, skin.numberStrip, m - 10, cells[1]);
    } else {
        drawCell(window, skin.numberStrip, m, cells[1]);
    }
    drawCell(window, skin.etcStrip, 0, cells[2]);
    if (d / 10 > 0)
        drawCell(window, skin.numberStrip, d / 10, cells[3]);
    drawCell(window, skin.numberStrip, d % 10, cells[4]);
    drawCell(window, skin.etcStrip, 1, cells[5]);
    drawCell(window, skin.weekdayStrip, t.weekday, cells[6]);
    drawCell(window, skin.etcStrip, 2, cells[7]);
    drawCell(window, skin.etcStrip, 3, cells[8]);

    editor.needsRedraw = true;
    m_ports.edit.invalidate();
}

void MainDialog::OnLButtonDown(int x, int y)
{
    skin.pressedElement = nullptr;
    for (const auto& e : skin.elements) {
        if (!e->rect.contains(x, y))
            continue;
        if (!e->enabled)
            return; // a disabled button shields whatever lies under it
        skin.pressedElement = e.get();
        // Looked up at draw time: the press may be over, or the skin replaced, by then.
        m_ports.window.drawNow(e->rect.inflated(1), [this](Surface& s) {
            if (skin.pressedElement)
                drawPressed(s, *skin.pressedElement);
        });
        return;
    }
}

void MainDialog::OnLButtonUp()
{
    const SkinElement* pressed = skin.pressedElement;
    if (!pressed)
        return;
    // Taken before the command runs: a skin reload destroys the element.
    const Rect grown = pressed->rect.inflated(1);
    const int command = pressed->command;
    const std::intptr_t wParam = pressed->wParam;
    const std::intptr_t lParam = pressed->lParam;
    skin.pressedElement = nullptr;
    m_ports.window.sendCommand(command, wParam, lParam);
    m_ports.window.invalidate(grown);
}

} // namespace pagelet
