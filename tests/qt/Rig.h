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
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPointer>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

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

inline int failedChecks()
{
    const auto* result = ::testing::UnitTest::GetInstance()->current_test_info()->result();
    int failed = 0;
    for (int i = 0; i < result->total_part_count(); ++i)
        failed += result->GetTestPartResult(i).failed();
    return failed;
}

// Ends every modal dialog that runs for the rest of the current test: after a failure nothing
// is left to answer one, and an unanswered run would never end.
inline void rejectModalsUntilTheTestEnds()
{
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    auto* sweep = new QTimer(qApp);
    QObject::connect(sweep, &QTimer::timeout, sweep, [sweep, test] {
        if (::testing::UnitTest::GetInstance()->current_test_info() != test)
            return sweep->deleteLater();
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            dialog->done(QDialog::Rejected);
    });
    sweep->start(20);
}

// Acts on the next modal dialog once its run has started (one already running when this is
// called is not it). A run that starts late is waited for, up to startWithinMs. A check that
// fails in `act` (a fatal one returns early) or a dialog left unanswered would keep the run
// waiting forever: the dialog is closed then, and after a dialog that never came every later
// one of the test is, so the test fails instead of hanging.
inline void whenModal(std::function<void(QtDialog&)> act, int answerWithinMs = 10000, int startWithinMs = 5000)
{
    const QPointer<QWidget> running = QApplication::activeModalWidget();
    auto waited = std::make_shared<QElapsedTimer>();
    waited->start();
    auto look = std::make_shared<std::function<void()>>();
    *look = [act, answerWithinMs, startWithinMs, running, waited, look] {
        QWidget* modal = QApplication::activeModalWidget();
        const QPointer dialog = modal == running ? nullptr : qobject_cast<QtDialog*>(modal);
        if (!dialog) {
            if (waited->elapsed() < startWithinMs)
                return QTimer::singleShot(10, *look);
            *look = {}; // ends the circle of shared pointers
            ADD_FAILURE() << "no dialog ran within " << startWithinMs << " ms";
            return rejectModalsUntilTheTestEnds();
        }
        *look = {};
        auto answered = std::make_shared<bool>(false);
        QObject::connect(dialog, &QDialog::finished, dialog, [answered] { *answered = true; });
        const int failedBefore = failedChecks();
        act(*dialog);
        if (*answered || !dialog)
            return;
        if (failedChecks() > failedBefore) {
            dialog->done(QDialog::Rejected);
            return;
        }
        QTimer::singleShot(answerWithinMs, dialog, [dialog, answered] {
            if (*answered)
                return;
            ADD_FAILURE() << "the dialog was never answered";
            dialog->done(QDialog::Rejected);
        });
    };
    QTimer::singleShot(0, *look);
}

inline void click(QtDialog& d, int id) { qobject_cast<QAbstractButton*>(d.control(id))->click(); }
inline QLineEdit* edit(QtDialog& d, int id) { return qobject_cast<QLineEdit*>(d.control(id)); }
inline QComboBox* list(QtDialog& d, int id) { return qobject_cast<QComboBox*>(d.control(id)); }

} // namespace pagelet::qttest
