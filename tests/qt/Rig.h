#pragma once
// A private settings store and install folder for one test, the fakes a window is given, and
// hands for the modal dialogs.
#include "base/Text.h"
#include "fakes/Fakes.h"
#include "qt/window/PageletWindow.h"
#include "qt/dialogs/QtDialog.h"
#include "settings/ConfigFile.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace pagelet::qttest {

struct TempInstall {
    TempInstall()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config.path());
        overrides.messages = &messages;
        overrides.exit = &exit;
    }
    ~TempInstall() { QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QDir::homePath() + "/.config"); }

    // Writes config.dat, makes the skin and diary folders and registers the install.
    void install(const Settings& settings, const QString& skinFolder = "default")
    {
        QDir().mkpath(root + "/skin/" + skinFolder);
        QDir().mkpath(root + "/diary");
        ASSERT_TRUE(writeConfig(fromQString(root + "/config.dat"), settings));
        QSettings(QSettings::NativeFormat, QSettings::UserScope, "Tarnwick", "Pagelet").setValue("Program Path", root);
    }
    QVariant registry(const char* name) const
    {
        return QSettings(QSettings::NativeFormat, QSettings::UserScope, "Tarnwick", "Pagelet").value(name);
    }

    QTemporaryDir config, dir;
    QString root = QDir(dir.path()).absolutePath();
    fakes::FakeMessageBox messages;
    fakes::FakeExit exit;
    WindowOverrides overrides;
};

// Acts on the modal dialog once its run has started.
inline void whenModal(std::function<void(QtDialog&)> act)
{
    QTimer::singleShot(0, [act] {
        if (auto* dialog = qobject_cast<QtDialog*>(QApplication::activeModalWidget()))
            act(*dialog);
        else
            ADD_FAILURE() << "no dialog is running";
    });
}

inline void click(QtDialog& d, int id) { qobject_cast<QAbstractButton*>(d.control(id))->click(); }
inline QLineEdit* edit(QtDialog& d, int id) { return qobject_cast<QLineEdit*>(d.control(id)); }
inline QComboBox* list(QtDialog& d, int id) { return qobject_cast<QComboBox*>(d.control(id)); }

} // namespace pagelet::qttest
