#pragma once
// Small state-recording stand-ins for the platform, for testing the core without a display.
#include "app/MainDialog.h"
#include "platform/CaseFolding.h"
#include "platform/Clock.h"
#include "platform/DialogView.h"
#include "platform/Dialogs.h"
#include "platform/EditControl.h"
#include "platform/Graphics.h"
#include "platform/MainWindow.h"
#include "platform/MessageBox.h"
#include "platform/MonthCalendar.h"
#include "platform/ProcessExit.h"
#include "platform/Registry.h"
#include "platform/SoftInputPanel.h"
#include "platform/VoiceRecorder.h"

#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace pagelet::fakes {

struct ShownMessage {
    std::u16string text;
    std::u16string caption;
    MessageButtons buttons;
    MessageIcon icon;
    friend bool operator==(const ShownMessage&, const ShownMessage&) = default;
};

class FakeMessageBox : public MessageBoxPort {
public:
    MessageAnswer show(const std::u16string& text, const std::u16string& caption, MessageButtons buttons,
                       MessageIcon icon) override;
    std::vector<ShownMessage> shown;
    std::deque<MessageAnswer> answers; // for Yes/No questions; No when empty
};

class FakeRegistry : public RegistryPort {
public:
    bool open(const std::u16string& keyPath) override { opened.push_back(keyPath); return true; }
    std::optional<std::u16string> read(const std::u16string& name) override;
    bool write(const std::u16string& name, const std::u16string& value) override
    {
        if (!failWrites)
            values[name] = value;
        return !failWrites;
    }
    void close() override { ++closeCount; }
    std::map<std::u16string, std::u16string> values;
    std::vector<std::u16string> opened;
    int closeCount = 0;
    bool failWrites = false;
};

class FakeExit : public ProcessExit {
public:
    void exit(int code) override { exited = true; status = code; }
    bool exited = false;
    int status = -1;
};

class FakeClock : public Clock {
public:
    DayValue now() override { return value; }
    DayValue value = 0;
};

class FakeSoftInput : public SoftInputPanel {
public:
    void raise() override { ++raised; }
    void lower() override { ++lowered; }
    int raised = 0, lowered = 0;
};

class FakeCalendar : public MonthCalendar {
public:
    DayValue today() override { return todayValue; }
    void setSelection(DayValue day) override { selection = day; }
    DisplayedRange displayedRange() override { return range; }
    void setDayStates(const std::vector<std::uint32_t>& m) override { masks = m; ++dayStateCalls; }
    void setColor(int slot, Color color) override { colors[slot] = color; }
    Size size() override { return calendarSize; }
    void show() override { visible = true; }
    void hide() override { visible = false; }
    void move(const Rect& rect) override { placed = rect; }

    DayValue todayValue = 0, selection = 0;
    DisplayedRange range;
    std::vector<std::uint32_t> masks;
    int dayStateCalls = 0;
    std::map<int, Color> colors;
    Size calendarSize {124, 137};
    bool visible = false;
    Rect placed;
};

class FakeWindow : public MainWindowPort {
public:
    struct SentCommand {
        int command;
        std::intptr_t wParam;
        std::intptr_t lParam;
    };
    Size clientSize() override { return client; }
    void invalidate() override { ++wholeInvalidations; }
    void invalidate(const Rect& rect) override { invalidatedRects.push_back(rect); }
    void drawNow(const Rect& rect, const std::function<void(Surface&)>& draw) override
    {
        drawnNow.push_back(rect);
        if (surface)
            draw(*surface);
    }
    int sendCommand(int command, std::intptr_t wParam, std::intptr_t lParam) override
    {
        sent.push_back({command, wParam, lParam});
        return onCommand ? onCommand(command, wParam, lParam) : 0;
    }

    std::vector<SentCommand> sent;
    std::function<int(int, std::intptr_t, std::intptr_t)> onCommand; // runs the command when set
    Size client {240, 270};
    int wholeInvalidations = 0;
    std::vector<Rect> invalidatedRects;
    std::vector<Rect> drawnNow;
    Surface* surface = nullptr; // where drawNow draws, when set
};

// Keeps the text with CR LF breaks; a line is a paragraph (no wrapping).
class FakeEditControl : public EditControl {
public:
    void create(const Rect& a) override { created = true; area = a; readOnly = true; }
    void moveTo(const Rect& a) override { area = a; }
    void setMarginsZero() override {}
    int lineCount() override;
    int lineIndex(int line) override;
    Point posFromChar(int) override { return {-1, -1}; }
    void getSelection(int& s, int& e) override { s = selStart; e = selEnd; }
    void setSelection(int s, int e) override { selStart = s; selEnd = e; }
    void scrollCaret() override {}
    int firstVisibleLine() override { return firstVisible; }
    void lineScroll(int lines) override { firstVisible += lines; }
    void setReadOnly(bool r) override { readOnly = r; }
    std::u16string text() override { return content; }
    void setText(const std::u16string& t) override { content = t; }
    bool keepsText(std::u16string_view) override { return true; }
    void setFocus() override {}
    void showCaret() override { ++caretShows; }
    void hideCaret() override { ++caretHides; }
    void setCaretPos(Point) override {}
    void showScrollBar(bool show) override { scrollBar = show; }
    ScrollInfo scrollInfo() override { return info; }
    void setScrollPos(int p) override { info.position = p; }
    void invalidate() override { ++invalidations; }
    int scrollBarWidth() override { return 16; }

    Rect area;
    std::u16string content;
    bool created = false, readOnly = true, scrollBar = false;
    int selStart = 0, selEnd = 0, firstVisible = 0;
    int caretShows = 0, caretHides = 0, invalidations = 0;
    ScrollInfo info;
};

class FakeBitmap : public Bitmap {
public:
    explicit FakeBitmap(Size s) : s(s) {}
    Size size() const override { return s; }
    Size s;
};

// Bitmaps "load" from files that exist; their size is read from a BMP header when there is
// one, else 240 x 270.
class FakeGraphics : public Graphics {
public:
    std::unique_ptr<Bitmap> loadBitmap(const std::u16string& path) override;
    std::unique_ptr<Bitmap> stretchRegion(const Bitmap&, Size, Size target) override
    {
        ++stretches;
        return std::make_unique<FakeBitmap>(target);
    }
    std::unique_ptr<ImageStrip> makeStrip(const Bitmap* bitmap, Size cellSize, int cells) override;
    std::unique_ptr<Surface> makeSurface(Size size) override;
    int systemFontHeight() override { return fontHeight; }

    int fontHeight = 14;
    std::vector<std::u16string> loaded;
    int stretches = 0;
};

// Runs the script given for the template id with the dialog's logic, as the user would
// answer it; a dialog without a script is cancelled.
class FakeDialogs : public DialogPort {
public:
    bool run(int templateId, DialogHandler& handler) override
    {
        runs.push_back(templateId);
        const auto it = scripts.find(templateId);
        return it != scripts.end() && it->second(handler);
    }
    // A script that works on the dialog's own class, found by the class's template id.
    template <class Dialog>
    void script(std::function<bool(Dialog&)> answer)
    {
        scripts[Dialog::kTemplateId] = [answer](DialogHandler& h) { return answer(dynamic_cast<Dialog&>(h)); };
    }
    int runsOf(int templateId) const { return static_cast<int>(std::count(runs.begin(), runs.end(), templateId)); }

    std::map<int, std::function<bool(DialogHandler&)>> scripts;
    std::vector<int> runs;
};

// Keeps every creation record; the test sends the closing codes itself.
class FakeRecorder : public VoiceRecorderPort {
public:
    std::intptr_t create(const VoiceRecorderRecord& record) override
    {
        created.push_back(record);
        return handle;
    }
    std::vector<VoiceRecorderRecord> created;
    std::intptr_t handle = 0x5eed;
};

// Folds A to Z only; the platform's folding of other scripts is tested on the real one.
class FakeCaseFolding : public CaseFolding {
public:
    std::u16string toLower(std::u16string text) const override
    {
        for (char16_t& c : text)
            if (c >= u'A' && c <= u'Z')
                c = static_cast<char16_t>(c - u'A' + u'a');
        return text;
    }
};

// All the fakes a MainDialog needs, wired together.
struct FakePlatform {
    MainDialogPorts ports() { return {window, messages, registry, exit, calendar, edit, graphics, clock, dialogs, softInput, recorder, caseFolding}; }
    FakeWindow window;
    FakeMessageBox messages;
    FakeRegistry registry;
    FakeExit exit;
    FakeCalendar calendar;
    FakeEditControl edit;
    FakeGraphics graphics;
    FakeClock clock;
    FakeDialogs dialogs;
    FakeSoftInput softInput;
    FakeRecorder recorder;
    FakeCaseFolding caseFolding;
};

} // namespace pagelet::fakes
