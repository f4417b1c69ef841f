#pragma once
// The page's own buttons: weather, edit, save and delete, and a version taken from the history.
#include "store/PageFormat.h"

namespace pagelet {

class DiaryEdit;
class MainWindowPort;
class MemoRecorder;
class PageStore;
class ShownDay;
class Skin;

class PageCommands {
public:
    PageCommands(ShownDay& day, DiaryEdit& editor, Skin& skin, MainWindowPort& window, PageStore& pages, MemoRecorder& recorder)
        : m_day(day), m_editor(editor), m_skin(skin), m_window(window), m_pages(pages), m_recorder(recorder)
    {
    }

    void onWeather();
    void onEdit();
    void onSave();
    void onDelete();
    // A version chosen in the history becomes the page being written: text being written that
    // was never stored is kept as a version of its own first.
    void restoreVersion(const Page& page);

private:
    ShownDay& m_day;
    DiaryEdit& m_editor;
    Skin& m_skin;
    MainWindowPort& m_window;
    PageStore& m_pages;
    MemoRecorder& m_recorder;
};

} // namespace pagelet
