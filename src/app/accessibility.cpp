#include "accessibility.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QPalette>
#include <QElapsedTimer>
#include <QPointer>
#include <QStyle>
#include <QTimer>
#include <QWidget>

#include <optional>

#include <cmath>

namespace {

// Relative luminance of an sRGB colour.
double luminance(const QColor &colour)
{
    auto channel = [](double c) { return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    const QColor rgb = colour.toRgb();
    return 0.2126 * channel(rgb.redF()) + 0.7152 * channel(rgb.greenF()) + 0.0722 * channel(rgb.blueF());
}

constexpr double TEXT_CONTRAST = 4.5;

// Qt's own words for a list's action, which Qt's translations carry (named
// here through a variable, so that the program's translations leave it to
// them).
const char *const OPEN_LIST_ACTION = "Open the combo box selection popup";

// A list as Qt presents one (its popup list, and the line edit of an editable
// one, as children; a press opens it), named by its accessible name. Its
// popup list takes the same name when it has none of its own.
class NamedList : public QAccessibleWidget
{
public:
    explicit NamedList(QComboBox *list)
        : QAccessibleWidget(list, QAccessible::ComboBox)
    {
    }

    int childCount() const override { return list()->isEditable() ? 2 : 1; }

    QAccessibleInterface *child(int index) const override
    {
        if (index == 0) {
            QAbstractItemView *popup = list()->view();
            if (popup->accessibleName().isEmpty())
                popup->setAccessibleName(list()->accessibleName());
            return QAccessible::queryAccessibleInterface(popup);
        }
        if (index == 1 && list()->isEditable())
            return QAccessible::queryAccessibleInterface(list()->lineEdit());
        return nullptr;
    }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        if (!child)
            return -1;
        if (child->object() == list()->view())
            return 0;
        if (list()->isEditable() && child->object() == list()->lineEdit())
            return 1;
        return -1;
    }

    QAccessibleInterface *childAt(int x, int y) const override
    {
        if (!list()->isEditable())
            return nullptr;
        const QLineEdit *edit = list()->lineEdit();
        return QRect(edit->mapToGlobal(QPoint(0, 0)), edit->size()).contains(x, y) ? child(1) : nullptr;
    }

    QString text(QAccessible::Text t) const override
    {
        switch (t) {
        case QAccessible::Name:
            return list()->accessibleName().isEmpty() ? value() : list()->accessibleName();
        case QAccessible::Value:
            return value();
        case QAccessible::Accelerator:
            return QKeySequence(Qt::Key_Down).toString(QKeySequence::NativeText);
        default:
            return QAccessibleWidget::text(t);
        }
    }

    QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }

    QString localizedActionDescription(const QString &action) const override
    {
        if (action == showMenuAction() || action == pressAction())
            return QComboBox::tr(OPEN_LIST_ACTION);
        return QString();
    }

    void doAction(const QString &action) override
    {
        if (action != showMenuAction() && action != pressAction())
            return;
        if (list()->view()->isVisible())
            list()->hidePopup();
        else
            list()->showPopup();
    }

    QStringList keyBindingsForAction(const QString &) const override { return {}; }

private:
    QComboBox *list() const { return static_cast<QComboBox *>(widget()); }
    QString value() const { return list()->isEditable() ? list()->lineEdit()->text() : list()->currentText(); }
};

QAccessibleInterface *named_lists(const QString &class_name, QObject *object)
{
    if (class_name == QLatin1String("QComboBox") && object && object->isWidgetType())
        return new NamedList(static_cast<QComboBox *>(object));
    return nullptr;
}

// Enter works as Space does: the button is pressed when the key goes up
// again, once, however long it was held, and only if the key went down on
// that button. (A key held down elsewhere, or one that closed a dialog as it
// went down, presses nothing.)
class EnterPressesButtons : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
            || (key->modifiers() & ~Qt::KeypadModifier))
            return false;
        auto *button = qobject_cast<QAbstractButton *>(watched);
        if (!button || !button->isEnabled())
            return false;
        if (event->type() == QEvent::KeyPress) {
            // A fresh press starts over: a release lost elsewhere must not
            // swallow the next Enter.
            if (!key->isAutoRepeat())
                pressed = button;
            return true;
        }
        if (key->isAutoRepeat())
            return true;
        const bool went_down_here = pressed == button;
        pressed = nullptr;
        if (went_down_here)
            button->click();
        return true;
    }

private:
    QPointer<QAbstractButton> pressed;
};

// A checkable button as assistive technology sees it: as Qt shows it, but
// Press and Toggle both click it.
class CheckableButton : public QAccessibleWidget
{
public:
    explicit CheckableButton(QAbstractButton *button)
        : QAccessibleWidget(button, role_of(button))
    {
    }

    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name)
            return QAccessibleWidget::text(t);
        // The name it was given, or its own text without the mnemonic's
        // ampersand (not the group around it, as for a plain widget).
        QString text = widget()->accessibleName();
        if (text.isEmpty()) {
            text = button()->text();
            text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
            text.remove(QLatin1Char('&'));
            text.replace(QStringLiteral("\x01"), QStringLiteral("&"));
        }
        return text;
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = true;
        state.checked = button()->isChecked();
        state.pressed = button()->isDown();
        return state;
    }

    QStringList actionNames() const override
    {
        QStringList names = QAccessibleWidget::actionNames();
        for (const QString &name : {pressAction(), toggleAction()}) {
            if (!names.contains(name))
                names.prepend(name);
        }
        return names;
    }

    void doAction(const QString &name) override
    {
        if (!widget()->isEnabled())
            return;
        if (name == pressAction() || name == toggleAction())
            button()->click();
        else
            QAccessibleWidget::doAction(name);
    }

private:
    QAbstractButton *button() const { return static_cast<QAbstractButton *>(widget()); }

    static QAccessible::Role role_of(QAbstractButton *button)
    {
        if (qobject_cast<QCheckBox *>(button))
            return QAccessible::CheckBox;
        if (qobject_cast<QRadioButton *>(button))
            return QAccessible::RadioButton;
        return QAccessible::Button;
    }
};

QAccessibleInterface *checkable_buttons(const QString &, QObject *object)
{
    auto *button = qobject_cast<QAbstractButton *>(object);
    if (button && button->isCheckable())
        return new CheckableButton(button);
    return nullptr;
}

} // namespace

void act_on_accessible_toggles()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(checkable_buttons);
}

double contrast_ratio(const QColor &a, const QColor &b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (qMax(la, lb) + 0.05) / (qMin(la, lb) + 0.05);
}

bool text_reads_on(const QColor &text, const QColor &background)
{
    return contrast_ratio(text, background) >= TEXT_CONTRAST;
}

void keep_panels_legible(const QList<QWidget *> &panels, const QColor &panel_background)
{
    for (QWidget *panel : panels) {
        const QColor text = panel->window()->palette().color(QPalette::WindowText);
        // An empty palette is the desktop's; the other has dark text, derived
        // from the light background. Under a style sheet a palette does not
        // pass from a widget to its children: each widget gets its own.
        const QPalette palette = text_reads_on(text, panel_background) ? QPalette() : QPalette(panel_background);
        panel->setPalette(palette);
        const auto inside = panel->findChildren<QWidget *>();
        for (QWidget *widget : inside) {
            widget->setPalette(palette);
            // A colour the style sheet gives (the gain number's) is set again.
            widget->style()->unpolish(widget);
            widget->style()->polish(widget);
        }
    }
}

void keep_list_names()
{
    // Qt adds a factory once, however often it is given.
    QAccessible::installFactory(named_lists);
}

void press_buttons_on_enter(QWidget *root)
{
    auto *filter = new EnterPressesButtons(root);
    const auto buttons = root->findChildren<QAbstractButton *>();
    for (QAbstractButton *button : buttons) {
        // A dialog that the window owns looks after its own buttons.
        if (button->window() == root->window())
            button->installEventFilter(filter);
    }
}

namespace {

// What a widget was told last, and the words that wait for their turn.
class Pacer : public QObject
{
public:
    explicit Pacer(QWidget *widget)
        : QObject(widget)
        , m_widget(widget)
    {
        m_timer.setSingleShot(true);
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] { flush(); });
    }

    static Pacer *of(QWidget *widget)
    {
        for (QObject *child : widget->children()) {
            if (auto *pacer = dynamic_cast<Pacer *>(child))
                return pacer;
        }
        return new Pacer(widget);
    }

    void set(bool name, const QString &text, Pace pace)
    {
        std::optional<QString> &waiting = name ? m_name : m_description;
        const bool paced_recently = m_told.isValid() && m_told.elapsed() < PACED_MS;
        if (pace == Pace::Paced && paced_recently) {
            waiting = text;
            if (!m_timer.isActive())
                m_timer.start(int(PACED_MS - m_told.elapsed()));
            return;
        }
        // Words given now replace what waited.
        waiting.reset();
        if (tell(name, text) && pace == Pace::Paced)
            m_told.start();
    }

private:
    bool tell(bool name, const QString &text)
    {
        if ((name ? m_widget->accessibleName() : m_widget->accessibleDescription()) == text)
            return false;
        if (name)
            m_widget->setAccessibleName(text);
        else
            m_widget->setAccessibleDescription(text);
        return true;
    }

    void flush()
    {
        bool told = false;
        if (m_name)
            told = tell(true, *m_name) || told;
        if (m_description)
            told = tell(false, *m_description) || told;
        m_name.reset();
        m_description.reset();
        if (told)
            m_told.start();
    }

    QWidget *m_widget;
    QTimer m_timer;
    QElapsedTimer m_told;  // since paced words were last told
    std::optional<QString> m_name;
    std::optional<QString> m_description;
};

} // namespace

void set_accessible_name(QWidget *widget, const QString &name, Pace pace)
{
    Pacer::of(widget)->set(true, name, pace);
}

void set_accessible_description(QWidget *widget, const QString &description, Pace pace)
{
    Pacer::of(widget)->set(false, description, pace);
}
