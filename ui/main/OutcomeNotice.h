#pragma once

#include <QMessageBox>
#include <QStringList>

struct ConversionOutcome;

// Tells the user how each conversion ended: the AMR file made and its length, or why no
// file was made. A message box of its own that blocks nothing and does not take the
// keyboard from the window the user works in; screen readers announce it as an alert.
// Outcomes that come while it is open are added below the earlier ones, so a batch of
// conversions gives one notice; closing it starts the next notice afresh.
class OutcomeNotice : public QMessageBox {
    Q_OBJECT

public:
    explicit OutcomeNotice(const QString &title);

    // Adds the outcome and shows the notice below `near` when that window is visible,
    // and in the middle of the screen when it is not.
    void tell(const ConversionOutcome &outcome, const QWidget &near);

protected:
    void hideEvent(QHideEvent *event) override;

private:
    QStringList m_told;
    bool m_anyFailed = false;
};
