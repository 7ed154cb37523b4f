// What a screen reader finds in both windows: each control a user reaches, in its role,
// named for what it is for; where captions repeat, by its product too.

#include "ConversionQueue.h"
#include "MainWindow.h"
#include "OffersWindow.h"
#include "QStringPrinter.h"
#include "TestInstallation.h"
#include "WindowControls.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QLabel>
#include <QRegularExpression>
#include <QTest>

#include <gtest/gtest.h>

namespace {

struct Expected {
    const char *control;
    QAccessible::Role role;
    const char *name;
};

// What a screen reader calls the control. Qt on Linux names a drop-down list by its
// value and leaves its name to the label it is related to; elsewhere the label relation
// and the name agree.
QString nameOf(QAccessibleInterface &accessible)
{
    if (accessible.role() == QAccessible::ComboBox) {
        const auto labels = accessible.relations(QAccessible::Label);
        return labels.isEmpty() ? QStringLiteral("no label")
                                : labels.first().first->text(QAccessible::Name).remove(QStringLiteral(" :"));
    }
    return accessible.text(QAccessible::Name);
}

// Each control's role and name as an accessibility tool reads them.
void expectDescribed(const QWidget &window, std::initializer_list<Expected> table)
{
    for (const Expected &row : table) {
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(control(window, row.control));
        ASSERT_NE(accessible, nullptr) << row.control;
        EXPECT_EQ(QStringLiteral("%1 \"%2\"").arg(accessible->role()).arg(nameOf(*accessible)),
                  QStringLiteral("%1 \"%2\"").arg(row.role).arg(row.name))
            << row.control;
    }
}

} // namespace

TEST(Accessibility, TheMainWindowsControlsAreNamedForWhatTheyHoldOrDo)
{
    TestInstallation installation;
    ConversionQueue queue(installation.tools());
    MainWindow window(queue);
    // The names come once the window is up.
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QCoreApplication::processEvents();
    expectDescribed(window, {
        {"txtInputAudio", QAccessible::EditableText, "Input file"},
        {"txtOutputAudio", QAccessible::EditableText, "Output file"},
        {"cmbMRRate", QAccessible::ComboBox, "Bitrate"},
        {"Command1", QAccessible::Button, "Write the conversion script only"},
    });
}

TEST(Accessibility, TheOffersWindowsButtonsNameTheProductOfTheirPanel)
{
    const OffersWindow window([](const char *) {});
    expectDescribed(window, {{"imgOffer5", QAccessible::Graphic, "Tag Organizer on the web"}});
    // Every button names the product whose title its own panel shows (the Buy buttons'
    // indexes do not follow the panels).
    QSet<QString> names;
    for (int panel = 1; panel <= 6; ++panel) {
        const QWidget *frame = control(window, QStringLiteral("Frame%1").arg(panel));
        const QList<QLabel *> titles = frame->findChildren<QLabel *>(QRegularExpression("^Label1"));
        ASSERT_EQ(titles.size(), 1);
        for (const QAbstractButton *button : frame->findChildren<QAbstractButton *>()) {
            const QString name = QAccessible::queryAccessibleInterface(const_cast<QAbstractButton *>(button))
                                     ->text(QAccessible::Name);
            EXPECT_TRUE(name.startsWith(button->text())) << name.toStdString();
            EXPECT_TRUE(name.endsWith(" " + titles[0]->text())) << name.toStdString();
            names.insert(name);
        }
    }
    EXPECT_EQ(names.size(), 18) << "two buttons a screen reader cannot tell apart";
}
