#pragma once
// The dialog over the real editor widget, as the window wires it, on a data folder it makes and
// removes; an encrypted diary's when given its key.
#include "app/MainDialog.h"
#include "base/Text.h"
#include "fakes/Fakes.h"
#include "qt/editor/QtEditControl.h"
#include "qt/graphics/Zoom.h"
#include "store/DayKey.h"

#include <QWidget>
#include <filesystem>
#include <optional>

struct RealEditor {
    explicit RealEditor(std::filesystem::path folder, std::optional<pagelet::DiaryKey> key = std::nullopt)
        : root(std::move(folder)), control(new pagelet::QtEditControl(&window, zoom)),
          dialog({p.window, p.messages, p.registry, p.exit, p.calendar, *control, p.graphics, p.clock, p.dialogs,
                  p.softInput, p.recorder, p.caseFolding})
    {
        std::filesystem::remove_all(root);
        std::filesystem::create_directories(root);
        window.resize(240, 270);
        control->attach(&dialog.editor());
        dialog.setDataFolder(pagelet::fromUtf8(root.string()) + u"/", std::move(key));
        dialog.editor().create({3, 40, 237, 268});
        p.calendar.range = {{2001, 5, 27}, {2001, 7, 7}, 3};
        window.show();
    }
    ~RealEditor()
    {
        control->attach(nullptr);
        std::filesystem::remove_all(root);
    }
    std::u16string path(const pagelet::LocalDate& d) const
    {
        return dialog.settings().dataPath + pagelet::makeDateKey(d) + u".dry";
    }

    std::filesystem::path root;
    pagelet::fakes::FakePlatform p;
    pagelet::Zoom zoom;
    QWidget window;
    pagelet::QtEditControl* control;
    pagelet::MainDialog dialog;
};
