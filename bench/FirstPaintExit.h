#pragma once
#include <QCoreApplication>
#include <QEvent>
#include <QMetaObject>
#include <QPlainTextEdit>
#include <QWidget>

#include <cstdlib>

// Ends the process once a window's first paint has been handled and flushed to the screen; with
// FIRST_PAINT_OF=text in the environment, once the first text editor's page has been (its
// viewport's first paint), which a window may do later than its own.
class FirstPaintExit : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (event->type() == QEvent::Paint && widget && !m_done && (m_text ? isEditorPage(widget) : widget->isWindow())) {
            m_done = true;
            QMetaObject::invokeMethod(
                QCoreApplication::instance(), [] { std::_Exit(0); }, Qt::QueuedConnection);
        }
        return false;
    }

private:
    static bool isEditorPage(const QWidget* widget)
    {
        return qobject_cast<const QPlainTextEdit*>(widget->parentWidget()) != nullptr;
    }

    const bool m_text = qEnvironmentVariable("FIRST_PAINT_OF") == QLatin1String("text");
    bool m_done = false;
};
