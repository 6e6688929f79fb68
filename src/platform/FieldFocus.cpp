#include "FieldFocus.h"

#include <QFocusEvent>
#include <QLineEdit>

#include <utility>

namespace {
class SelectAllOnFocus : public QObject {
public:
    explicit SelectAllOnFocus(QLineEdit *field) : QObject(field), m_field(field) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (watched != m_field)
            return false;
        switch (event->type()) {
        case QEvent::FocusIn:
            switch (static_cast<QFocusEvent *>(event)->reason()) {
            case Qt::MouseFocusReason:
                // The press that follows places the caret; the release selects, unless the user
                // has dragged a selection by then.
                m_clicked = true;
                break;
            case Qt::TabFocusReason:
            case Qt::BacktabFocusReason:
            case Qt::ShortcutFocusReason:
            case Qt::OtherFocusReason:
                m_field->selectAll();
                break;
            default:
                // Back from another window or a menu: the caret stays where the user left it.
                break;
            }
            break;
        case QEvent::MouseButtonRelease:
            if (std::exchange(m_clicked, false) && !m_field->hasSelectedText())
                m_field->selectAll();
            break;
        case QEvent::FocusOut:
            m_clicked = false;
            break;
        default:
            break;
        }
        return false;
    }

private:
    QLineEdit *m_field;
    bool m_clicked = false;
};
} // namespace

void FieldFocus::selectAllOnFocus(QLineEdit *field) {
    field->installEventFilter(new SelectAllOnFocus(field));
}
