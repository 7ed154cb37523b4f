// Screen readers find every button of both windows as a button, named by its caption.

#include "ConversionQueue.h"
#include "MainWindow.h"
#include "OffersWindow.h"
#include "TestInstallation.h"

#include <QAbstractButton>
#include <QAccessible>

#include <gtest/gtest.h>

namespace {

QStringList describeButtons(const QWidget &window)
{
    QStringList descriptions;
    for (QAbstractButton *button : window.findChildren<QAbstractButton *>()) {
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(button);
        if (!accessible) {
            descriptions.append(button->objectName() + ": none");
            continue;
        }
        descriptions.append(QStringLiteral("%1: %2 \"%3\"")
                                .arg(button->objectName(),
                                     accessible->role() == QAccessible::Button ? "button" : "not a button",
                                     accessible->text(QAccessible::Name)));
    }
    descriptions.sort();
    return descriptions;
}

} // namespace

TEST(Accessibility, TheMainWindowsButtonsAreButtonsNamedByTheirCaptions)
{
    TestInstallation installation;
    ConversionQueue queue(installation.tools());
    const MainWindow window(queue);
    EXPECT_EQ(describeButtons(window), QStringList({"Command1: button \"Command1\"",
                                                    "cmdConvert: button \"Convert\"",
                                                    "cmdInput: button \"Browse input\"",
                                                    "cmdOutput: button \"Browse output\""}));
}

TEST(Accessibility, TheOffersWindowsButtonsAreButtonsNamedByTheirCaptions)
{
    const OffersWindow window([](const char *) {});
    const QStringList buttons = describeButtons(window);
    ASSERT_EQ(buttons.size(), 18);
    for (int panel = 1; panel <= 6; ++panel) {
        EXPECT_TRUE(buttons.contains(QStringLiteral("cmdOffer%1ReadMore: button \"Read more\"").arg(panel)));
        EXPECT_TRUE(buttons.contains(QStringLiteral("cmdOffer%1Download: button \"Download\"").arg(panel)));
        EXPECT_TRUE(buttons.contains(QStringLiteral("cmdBuy(%1): button \"Buy\"").arg(panel - 1)));
    }
}
