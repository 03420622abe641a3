#include <gtest/gtest.h>

#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QWidget>

#include "next_modal.h"
#include "qt_desktop.h"

namespace {

// Enter on the box, Escape, and the box's close button all land on the safe choice, which
// is the default button whichever of the choices it is.
TEST(QtDesktopChoose, EnterEscapeAndClosingTakeTheSafeChoice) {
    const QStringList choices{QStringLiteral("実行する"), QStringLiteral("保存する"),
                              QStringLiteral("キャンセル")};
    const struct {
        const char* how;
        int safe;
        std::function<void(QWidget*)> answer;
    } cases[] = {
        {"Enter", 2, [](QWidget* box) { QTest::keyClick(box, Qt::Key_Return); }},
        {"Escape", 2, [](QWidget* box) { QTest::keyClick(box, Qt::Key_Escape); }},
        {"close", 1, [](QWidget* box) { box->close(); }},
    };
    QWidget parent;
    parent.show();
    QtDesktop desktop;
    for (const auto& c : cases) {
        QString defaultButton;
        whenModalShows([&](QWidget* box) {
            const auto* message = qobject_cast<QMessageBox*>(box);
            if (message != nullptr && message->defaultButton() != nullptr) {
                defaultButton = message->defaultButton()->text();
            }
            c.answer(box);
        });
        EXPECT_EQ(desktop.choose(&parent, QStringLiteral("ファイル"), QString(), choices, c.safe),
                  c.safe)
            << c.how;
        EXPECT_EQ(defaultButton, choices.at(c.safe)) << c.how;
    }
}

}  // namespace
