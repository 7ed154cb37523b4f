#include "OutcomeNotice.h"

#include "ConversionQueue.h"

#include <QAccessible>
#include <QScreen>

OutcomeNotice::OutcomeNotice(const QString &title)
{
    setObjectName(QStringLiteral("outcomeNotice"));
    setWindowTitle(title);
    setStandardButtons(QMessageBox::Close);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setModal(false);
    setAttribute(Qt::WA_ShowWithoutActivating);
    // When it is the last window, closing it may end the program.
    setAttribute(Qt::WA_QuitOnClose);
}

void OutcomeNotice::tell(const ConversionOutcome &outcome, const QWidget &near)
{
    m_told.append(outcome.message);
    m_anyFailed = m_anyFailed || !outcome.made;
    setIcon(m_anyFailed ? QMessageBox::Warning : QMessageBox::Information);
    setText(m_told.join(u'\n'));
    if (isVisible()) {
        // Shown before: the new line is announced as the first was.
        QAccessibleEvent alert(this, QAccessible::Alert);
        QAccessible::updateAccessibility(&alert);
        adjustSize();
        return;
    }
    adjustSize();
    const QScreen *screen = near.isVisible() ? near.screen() : this->screen();
    const QRect available = screen ? screen->availableGeometry() : QRect();
    QPoint place = near.isVisible() ? near.frameGeometry().bottomLeft() + QPoint(0, 8)
                                    : available.center() - rect().center();
    // Within the screen, where the main window sits low on it.
    if (available.isValid())
        place.setY(std::min(place.y(), available.bottom() - frameGeometry().height()));
    move(place);
    show();
}

void OutcomeNotice::hideEvent(QHideEvent *event)
{
    m_told.clear();
    m_anyFailed = false;
    QMessageBox::hideEvent(event);
}
