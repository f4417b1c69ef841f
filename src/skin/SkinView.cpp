#include "skin/SkinView.h"

#include "base/FileIo.h"
#include "base/Text.h"
#include "text/Catalogue.h"
#include "platform/Commands.h"
#include "platform/EditControl.h"
#include "platform/EditorRedraw.h"
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

void drawDatePictures(Surface& s, const Skin& skin, const LocalTime& t)
{
    const int m = t.date.month;
    const int d = t.date.day;
    const auto& cells = skin.dateCells;
    if (m >= 10) {
        drawCell(s, skin.numberStrip, 1, cells[0]);
        drawCell(s, skin.numberStrip, m - 10, cells[1]);
    } else {
        drawCell(s, skin.numberStrip, m, cells[1]);
    }
    drawCell(s, skin.etcStrip, 0, cells[2]);
    if (d / 10 > 0)
        drawCell(s, skin.numberStrip, d / 10, cells[3]);
    drawCell(s, skin.numberStrip, d % 10, cells[4]);
    drawCell(s, skin.etcStrip, 1, cells[5]);
    drawCell(s, skin.weekdayStrip, t.weekday, cells[6]);
    drawCell(s, skin.etcStrip, 2, cells[7]);
    drawCell(s, skin.etcStrip, 3, cells[8]);
}

// The skins' date pictures are Korean; in another language the date is written out ("Wed, 9 Dec")
// over the same cells, in the skin's writing colour.
void drawDateInWords(Surface& s, const Skin& skin, const LocalTime& t)
{
    const auto& cells = skin.dateCells;
    const Rect line {cells[0].left, cells[1].top, cells[8].right, cells[1].bottom};
    const std::u16string words = textOf(TextId::Sunday, t.weekday) + u", " + fromAscii(std::to_string(t.date.day)) + u" " +
                                 textOf(TextId::January, t.date.month - 1);
    s.fitTextTo(line.bottom - line.top);
    s.drawText(line, words, skin.editTextColor);
}

} // namespace

SkinView::SkinView(MainWindowPort& window, EditControl& edit, EditorRedraw& editor)
    : m_window(window), m_edit(edit), m_editor(editor)
{
}

void SkinView::release()
{
    m_skin.background.reset();
    m_skin.etcStrip.reset();
    m_skin.numberStrip.reset();
    m_skin.weekdayStrip.reset();
    m_skin.weatherStrip.reset();
    m_skin.button1Strip.reset();
    m_skin.button2Strip.reset();
    m_skin.DeleteSkinElements();
}

void SkinView::OnPaint(Surface& window, DayValue day, bool hasMemo)
{
    const Size client = m_window.clientSize();
    if (!m_skin.background) {
        window.fill({0, 0, client.width, client.height}, kNoBackgroundFill);
        return;
    }
    window.copyBitmap(*m_skin.background, {0, 0}, {0, 0, client.width, client.height});
    // A smaller background (after a skin change) leaves the rest of the window uncovered.
    const Size b = m_skin.background->size();
    if (b.width < client.width)
        window.fill({b.width, 0, client.width, client.height}, kNoBackgroundFill);
    if (b.height < client.height)
        window.fill({0, b.height, std::min(b.width, client.width), client.height}, kNoBackgroundFill);

    for (const auto& e : m_skin.elements) {
        drawNormal(window, *e);
        if (e->command == CMD_VOICE && hasMemo)
            window.drawSunkenEdge(e->rect.inflated(1));
    }

    const LocalTime t = toLocal(day);
    if (textOf(TextId::Language) == u"ko")
        drawDatePictures(window, m_skin, t);
    else
        drawDateInWords(window, m_skin, t);

    m_editor.redrawPage();
    m_edit.invalidate();
}

void SkinView::OnLButtonDown(int x, int y)
{
    m_skin.pressedElement = nullptr;
    for (const auto& e : m_skin.elements) {
        if (!e->rect.contains(x, y))
            continue;
        if (!e->enabled)
            return; // a disabled button shields whatever lies under it
        m_skin.pressedElement = e.get();
        // Looked up at draw time: the press may be over, or the skin replaced, by then.
        m_window.drawNow(e->rect.inflated(1), [this](Surface& s) {
            if (m_skin.pressedElement)
                drawPressed(s, *m_skin.pressedElement);
        });
        return;
    }
}

void SkinView::OnLButtonUp()
{
    const SkinElement* pressed = m_skin.pressedElement;
    if (!pressed)
        return;
    m_skin.pressedElement = nullptr;
    sendFrom(*pressed);
}

void SkinView::sendFrom(const SkinElement& element)
{
    // Taken before the command runs: a skin reload destroys the element.
    const Rect grown = element.rect.inflated(1);
    const int command = element.command;
    const std::intptr_t wParam = element.wParam;
    const std::intptr_t lParam = element.lParam;
    m_window.sendCommand(command, wParam, lParam);
    m_window.invalidate(grown);
}

const SkinElement* SkinView::tapTarget(int command) const
{
    for (const auto& e : m_skin.elements)
        if (e->command == command && e->enabled)
            return e.get();
    return nullptr;
}

bool SkinView::canTap(int command) const
{
    return command == CMD_SETTINGS || tapTarget(command);
}

bool SkinView::tap(int command)
{
    const SkinElement* target = tapTarget(command);
    if (!target) {
        if (command != CMD_SETTINGS)
            return false;
        m_window.sendCommand(CMD_SETTINGS, -1, -1);
        return true;
    }
    sendFrom(*target);
    return true;
}

} // namespace pagelet
