#include "qt/ports/QtPlatform.h"

#include "qt/graphics/QtGraphics.h"
#include "qt/graphics/Zoom.h"

#include <QApplication>
#include <QDateTime>
#include <QGuiApplication>
#include <QInputMethod>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>
#include <cstdlib>

namespace pagelet {

namespace {

// The key path is fixed; QSettings finds the store from the organisation and application.
std::shared_ptr<QSettings> newSettings()
{
    return std::make_shared<QSettings>(QSettings::NativeFormat, QSettings::UserScope, "Tarnwick", "Pagelet");
}

std::weak_ptr<QSettings>& keptSettings()
{
    static std::weak_ptr<QSettings> kept;
    return kept;
}

// A QSettings is not for two threads at once.
bool onMainThread()
{
    const auto* app = QCoreApplication::instance();
    return app && app->thread() == QThread::currentThread();
}

} // namespace

QtRegistry::Kept::Kept()
{
    if (onMainThread()) {
        m_settings = newSettings();
        keptSettings() = m_settings;
    }
}

QtRegistry::Kept::~Kept()
{
    if (m_settings)
        keptSettings().reset();
}

bool QtRegistry::open(const std::u16string&)
{
    m_settings = onMainThread() ? keptSettings().lock() : nullptr;
    if (m_settings)
        m_settings->sync(); // what another program wrote since
    else
        m_settings = newSettings();
    return m_settings->status() == QSettings::NoError;
}

std::optional<std::u16string> QtRegistry::read(const std::u16string& name)
{
    if (!m_settings)
        return std::nullopt;
    const QVariant v = m_settings->value(toQString(name));
    if (!v.isValid())
        return std::nullopt;
    return fromQString(v.toString());
}

bool QtRegistry::write(const std::u16string& name, const std::u16string& value)
{
    if (!m_settings)
        return false;
    m_settings->setValue(toQString(name), toQString(value));
    m_settings->sync();
    return m_settings->status() == QSettings::NoError;
}

void QtRegistry::close()
{
    m_settings.reset();
}

MessageAnswer QtMessageBox::show(const std::u16string& text, const std::u16string& caption, MessageButtons buttons,
                                 MessageIcon icon)
{
    QMessageBox box;
    box.setFont(m_zoom.scaled(QApplication::font()));
    box.setWindowTitle(toQString(caption));
    box.setText(toQString(text));
    box.setIcon(icon == MessageIcon::Question      ? QMessageBox::Question
                : icon == MessageIcon::Exclamation ? QMessageBox::Warning
                                                   : QMessageBox::NoIcon);
    if (buttons != MessageButtons::Ok) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setDefaultButton(buttons == MessageButtons::YesNoDefaultNo ? QMessageBox::No : QMessageBox::Yes);
        // Left alone, the box takes Escape and its close button for No. A hidden Cancel
        // receives them instead, so that neither is mistaken for an answer.
        box.button(QMessageBox::Cancel)->hide();
        box.setEscapeButton(QMessageBox::Cancel);
        switch (box.exec()) {
        case QMessageBox::Yes: return MessageAnswer::Yes;
        case QMessageBox::No: return MessageAnswer::No;
        default: return MessageAnswer::Cancel;
        }
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return MessageAnswer::Ok;
}

void QtProcessExit::exit(int status)
{
    std::exit(status);
}

DayValue QtClock::now()
{
    return QDateTime::currentSecsSinceEpoch();
}

void QtSoftInputPanel::raise()
{
    QGuiApplication::inputMethod()->show();
}

void QtSoftInputPanel::lower()
{
    QGuiApplication::inputMethod()->hide();
}

} // namespace pagelet
