#pragma once
#include "qt/window/DrawnPart.h"

#include <QAccessibleActionInterface>
#include <QAccessibleInterface>
#include <QPointer>

namespace pagelet {

class PageletWindow;

// A drawn part of the main window as a screen reader's object: a button it can name and
// press, or a label it can read.
class DrawnPartAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    DrawnPartAccessible(PageletWindow* window, const DrawnPart& part);

    const DrawnPart& part() const { return m_part; }

    bool isValid() const override;
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override;
    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString& actionName) const override;

private:
    QPointer<PageletWindow> m_window;
    DrawnPart m_part;
};

} // namespace pagelet
