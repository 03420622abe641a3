#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QTranslator>

#include <memory>

#include "qt_translations.h"

namespace {

TEST(QtJapanese, QtsOwnButtonsAndMenusSpeakJapaneseWhateverTheLocale) {
    QLocale::setDefault(QLocale::English);
    ASSERT_TRUE(installQtJapanese(*qApp));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("はい(&Y)"));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&No"), QStringLiteral("いいえ(&N)"));

    QLineEdit box;
    const std::unique_ptr<QMenu> menu(box.createStandardContextMenu());
    ASSERT_FALSE(menu->actions().isEmpty());
    EXPECT_TRUE(menu->actions().first()->text().startsWith(QStringLiteral("元に戻す")))
        << menu->actions().first()->text().toStdString();

    // The other tests of this program expect Qt's own texts.
    qDeleteAll(qApp->findChildren<QTranslator*>());
    QLocale::setDefault(QLocale::system());
}

}  // namespace
