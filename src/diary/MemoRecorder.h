#pragma once
// The shown day's voice memo on the window: the recorder opened beside the memo button, what
// its closing asks, and the button's frame that shows a memo is there.
#include "base/Day.h"
#include "base/Geometry.h"

#include <cstdint>
#include <string>

namespace pagelet {

class DayMemo;
class DiaryEdit;
class MainWindowPort;
class MessageBoxPort;
class PageStore;
class ShownDay;
class Skin;
class VoiceRecorderPort;

class MemoRecorder {
public:
    MemoRecorder(MainWindowPort& window, MessageBoxPort& messages, VoiceRecorderPort& recorder, DiaryEdit& editor, Skin& skin,
                 PageStore& pages, const ShownDay& day, DayMemo& memo);

    // Opens the recorder beside the memo button, whose rectangle is given.
    void startMemo(const Rect& buttonRect);
    // Every notification of the main window passes here; the recorder's closing codes act.
    void OnNotify(int code);
    std::intptr_t recorderWindow() const { return m_recorderWindow; }
    // Sync tools' copies of the shown day's memo are offered (at start, once it has settled).
    void offerCopies();
    void repaintButton();
    // Where the store keeps the day's memo.
    std::u16string memoPath(DayValue day) const;
    bool hasMemo() const;

private:
    MainWindowPort& m_window;
    MessageBoxPort& m_messages;
    VoiceRecorderPort& m_recorder;
    DiaryEdit& m_editor;
    Skin& m_skin;
    PageStore& m_pages;
    const ShownDay& m_day;
    DayMemo& m_memo;
    std::intptr_t m_recorderWindow = 0;
};

} // namespace pagelet
