#include "qt/dialogs/QtDialog.h"

#include "qt/dialogs/PressAndHold.h"
#include "qt/graphics/QtGraphics.h"
#include "qt/dialogs/QtMonthCalendar.h"
#include "qt/graphics/Zoom.h"

#include <QCheckBox>
#include <QAbstractItemView>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <algorithm>
#include <vector>

namespace pagelet {

namespace {

// A closed drop-down list is as tall as an edit; the template's height is the opened list's.
constexpr int kClosedListUnits = 12;
constexpr int kListItemUnits = 8;

QLabel* imageLabel(const char* resource, QWidget* parent, const QSize& size)
{
    auto* label = new QLabel(parent);
    const QPixmap pixmap(QString::fromUtf8(resource));
    if (!pixmap.isNull())
        label->setPixmap(pixmap.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    label->setAlignment(Qt::AlignCenter);
    return label;
}

} // namespace

QtDialog::QtDialog(const DialogTemplate& layout, DialogHandler& handler, const Zoom& zoom, QWidget* parent)
    : QDialog(parent), m_handler(handler), m_zoom(zoom)
{
    setWindowTitle(dialogText(layout.caption));
    const QRect frame = dialogUnitsToPixels(m_zoom, 0, 0, layout.width, layout.height);
    setFixedSize(frame.size());
    QFont f = font();
    f.setPixelSize(m_zoom.scaled(12));
    setFont(f);

    // Tab starts at the first field and goes in the template's order, with the buttons that
    // close the dialog last: a template may list them first.
    std::vector<QWidget*> fields, closing;
    std::vector<std::pair<QLabel*, int>> labels;
    for (const auto& c : layout.controls) {
        QWidget* w = makeControl(c);
        if (c.names != 0)
            if (auto* label = qobject_cast<QLabel*>(w))
                labels.emplace_back(label, c.names);
        if (c.id != 0)
            m_controls[c.id] = w;
        // A calendar is reached through its day table.
        if (auto* calendar = qobject_cast<QtMonthCalendar*>(w))
            w = calendar->dayTable();
        if (!w || !(w->focusPolicy() & Qt::TabFocus))
            continue;
        const bool closes = c.id == kIdOk || c.id == kIdCancel || c.kind == ControlKind::DefaultButton;
        (closes ? closing : fields).push_back(w);
    }
    fields.insert(fields.end(), closing.begin(), closing.end());
    QWidget* previous = nullptr;
    for (QWidget* w : fields) {
        if (previous)
            QWidget::setTabOrder(previous, w);
        else
            m_firstFocus = w;
        previous = w;
    }
    // A field reads its label's words to a screen reader only as the label's buddy.
    for (const auto& [label, field] : labels) {
        label->setBuddy(control(field));
        // The read-only text's stand-in name would hide its label's words.
        if (qobject_cast<QPlainTextEdit*>(control(field)))
            control(field)->setAccessibleName({});
    }
}

QtDialog::~QtDialog()
{
    // The calendars outlive this part of the dialog by a moment; nothing may reach the logic.
    for (auto* calendar : findChildren<QtMonthCalendar*>()) {
        calendar->dayPicked = nullptr;
        calendar->selectionMoved = nullptr;
    }
}

// Edits report changes, the focus and a held pen to the logic.
QWidget* QtDialog::makeEdit(const ControlTemplate& c)
{
    const int id = c.id;
    QWidget* w = nullptr;
    QWidget* pressed = nullptr;
    if (c.kind == ControlKind::ReadOnlyText) {
        auto* text = new QPlainTextEdit(this);
        text->setReadOnly(true);
        text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        text->setAccessibleName(tr("결과")); // no label of its own
        connect(text, &QPlainTextEdit::textChanged, this, [this, id] { m_handler.OnEditChange(*this, id); });
        w = text;
        pressed = text->viewport();
    } else {
        auto* edit = new QLineEdit(this);
        if (c.kind == ControlKind::PasswordEdit)
            edit->setEchoMode(QLineEdit::Password);
        connect(edit, &QLineEdit::textChanged, this, [this, id] { m_handler.OnEditChange(*this, id); });
        w = edit;
        pressed = edit;
    }
    if (id != 0) {
        m_edits[w] = id;
        w->installEventFilter(this);
        new PressAndHold(pressed, [this, id] { m_handler.OnHold(*this, id); });
    }
    return w;
}

QWidget* QtDialog::makeCalendar(const ControlTemplate& c, const QRect& rect)
{
    auto* calendar = new QtMonthCalendar(this, m_zoom);
    // The template's place is narrow: a smaller type and columns without a minimum width keep
    // the whole week and two-digit days in view instead of scrolling the table sideways.
    QFont small = calendar->font();
    small.setPixelSize(8);
    calendar->setFont(small);
    if (auto* days = calendar->findChild<QTableView*>())
        days->horizontalHeader()->setMinimumSectionSize(0);
    // In a dialog the days are one of its fields: the keyboard reaches them.
    if (QWidget* days = calendar->dayTable())
        days->setFocusPolicy(Qt::StrongFocus);
    calendar->setFixedSize(rect.size());
    // Here a bold day is one the search found.
    calendar->setMarkWords(tr("찾은 날"));
    const int id = c.id;
    calendar->dayPicked = [this, id](const LocalDate& day) { m_handler.OnDayPicked(*this, id, day); };
    calendar->selectionMoved = [this, id](const LocalDate& day) { m_handler.OnCalendarSelChange(*this, id, day); };
    calendar->QCalendarWidget::show();
    return calendar;
}

bool QtDialog::eventFilter(QObject* watched, QEvent* event)
{
    const auto it = m_edits.find(watched);
    if (it != m_edits.end() && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut))
        m_handler.OnEditFocus(*this, it->second, event->type() == QEvent::FocusIn);
    return QDialog::eventFilter(watched, event);
}

QWidget* QtDialog::makeControl(const ControlTemplate& c)
{
    const QString text = dialogText(c.text);
    QRect rect = dialogUnitsToPixels(m_zoom, c.x, c.y, c.width, c.height);
    QWidget* w = nullptr;
    switch (c.kind) {
    case ControlKind::Edit:
    case ControlKind::PasswordEdit:
    case ControlKind::ReadOnlyText:
        w = makeEdit(c);
        break;
    case ControlKind::Calendar:
        w = makeCalendar(c, rect);
        break;
    case ControlKind::Label: {
        auto* label = new QLabel(text, this);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        w = label;
        break;
    }
    case ControlKind::Button:
    case ControlKind::DefaultButton: {
        auto* button = new QPushButton(text, this);
        button->setDefault(c.kind == ControlKind::DefaultButton);
        const int id = c.id;
        connect(button, &QPushButton::clicked, this, [this, id] {
            if (id == kIdOk)
                m_handler.OnOK(*this);
            else if (id == kIdCancel)
                m_handler.OnCancel(*this);
            else
                m_handler.OnCommand(*this, id);
        });
        w = button;
        break;
    }
    case ControlKind::CheckBox: {
        auto* box = new QCheckBox(text, this);
        const int id = c.id;
        // Every change by the user, a screen reader's toggle too (it emits no click); not the
        // logic's own setChecked.
        connect(box, &QCheckBox::toggled, this, [this, id] {
            if (!m_settingCheck)
                m_handler.OnCommand(*this, id);
        });
        w = box;
        break;
    }
    case ControlKind::DropDownList: {
        auto* list = new QComboBox(this);
        list->setMaxVisibleItems((c.height - kClosedListUnits) / kListItemUnits);
        rect.setHeight(dialogUnitsToPixels(m_zoom, c.x, c.y, c.width, kClosedListUnits).height());
        w = list;
        break;
    }
    case ControlKind::Icon:
    case ControlKind::Picture:
        w = imageLabel(c.text, this, rect.size());
        break;
    }
    w->setGeometry(rect);
    return w;
}

bool QtDialog::run()
{
    if (m_handler.OnInitDialog(*this) && m_firstFocus)
        m_firstFocus->setFocus();
    return exec() == QDialog::Accepted;
}

QWidget* QtDialog::control(int id) const
{
    const auto it = m_controls.find(id);
    return it == m_controls.end() ? nullptr : it->second;
}

std::u16string QtDialog::itemText(int id)
{
    if (auto* edit = qobject_cast<QLineEdit*>(control(id)))
        return fromQString(edit->text());
    if (qobject_cast<QPlainTextEdit*>(control(id)))
        return m_readOnlyTexts[id];
    if (auto* label = qobject_cast<QLabel*>(control(id)))
        return fromQString(label->text());
    return {};
}

// An unchanged text is not set again, so it reports no change.
void QtDialog::setItemText(int id, const std::u16string& text)
{
    if (itemText(id) == text)
        return;
    if (auto* edit = qobject_cast<QLineEdit*>(control(id)))
        edit->setText(toQString(text));
    else if (auto* box = qobject_cast<QPlainTextEdit*>(control(id))) {
        m_readOnlyTexts[id] = text;
        box->setPlainText(toQString(text));
    } else if (auto* label = qobject_cast<QLabel*>(control(id))) {
        label->setText(toQString(text));
    }
}

void QtDialog::limitText(int id, int maxChars)
{
    if (auto* edit = qobject_cast<QLineEdit*>(control(id)))
        edit->setMaxLength(maxChars);
}

bool QtDialog::isChecked(int id)
{
    auto* box = qobject_cast<QCheckBox*>(control(id));
    return box && box->isChecked();
}

void QtDialog::setChecked(int id, bool checked)
{
    if (auto* box = qobject_cast<QCheckBox*>(control(id))) {
        m_settingCheck = true;
        box->setChecked(checked);
        m_settingCheck = false;
    }
}

void QtDialog::insertString(int id, int index, const std::u16string& text)
{
    auto* list = qobject_cast<QComboBox*>(control(id));
    if (!list)
        return;
    const int selected = list->currentIndex();
    list->insertItem(index < 0 ? list->count() : index, toQString(text));
    // The closed list keeps the template's width; the opened one shows whole entries.
    list->view()->setMinimumWidth(std::max(list->width(), list->view()->sizeHintForColumn(0) + 8));
    // Qt selects the first entry put into an empty list; the logic decides the selection.
    if (selected < 0)
        list->setCurrentIndex(-1);
}

int QtDialog::listCount(int id)
{
    auto* list = qobject_cast<QComboBox*>(control(id));
    return list ? list->count() : 0;
}

std::u16string QtDialog::listText(int id, int index)
{
    auto* list = qobject_cast<QComboBox*>(control(id));
    if (!list || index < 0 || index >= list->count())
        return {};
    return fromQString(list->itemText(index));
}

int QtDialog::currentSelection(int id)
{
    auto* list = qobject_cast<QComboBox*>(control(id));
    return list ? list->currentIndex() : -1;
}

void QtDialog::setCurrentSelection(int id, int index)
{
    if (auto* list = qobject_cast<QComboBox*>(control(id)))
        list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
}

void QtDialog::selectText(int id, int start, int end)
{
    auto* box = qobject_cast<QPlainTextEdit*>(control(id));
    if (!box)
        return;
    // The widget holds CR LF as one break, a lone CR or LF as one too.
    const std::u16string& text = m_readOnlyTexts[id];
    const auto widgetPosition = [&text](int index) {
        index = std::clamp(index, 0, static_cast<int>(text.size()));
        int breaks = 0;
        for (int i = 1; i < index; ++i)
            if (text[i - 1] == u'\r' && text[i] == u'\n')
                ++breaks;
        return index - breaks;
    };
    QTextCursor cursor(box->document());
    cursor.setPosition(widgetPosition(start));
    cursor.setPosition(widgetPosition(end), QTextCursor::KeepAnchor);
    box->setTextCursor(cursor);
    box->ensureCursorVisible();
}

MonthCalendar* QtDialog::calendar(int id)
{
    return qobject_cast<QtMonthCalendar*>(control(id));
}

void QtDialog::enableItem(int id, bool enabled)
{
    if (QWidget* w = control(id))
        w->setEnabled(enabled);
}

void QtDialog::focusItem(int id)
{
    if (QWidget* w = control(id))
        w->setFocus();
}

void QtDialog::endDialog(bool ok)
{
    done(ok ? QDialog::Accepted : QDialog::Rejected);
}

void QtDialog::reject()
{
    m_handler.OnCancel(*this);
}

} // namespace pagelet
