#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QImage>

#include <memory>

#include "app/quillpost_app.h"
#include "fake_clock.h"
#include "history/tyaku_form.h"
#include "quillpost_test.h"
#include "scripted_desktop.h"
#include "store/mail_records.h"
#include "temp_app_folder.h"

// A Quillpost run over a fresh application folder with the history window's pictures.
class HistoryTest : public QuillpostTest {
  protected:
    void SetUp() override {
        QDir(folder.path()).mkpath(QStringLiteral("data"));
        for (int n : {1, 3, 4, 5, 10}) {
            QImage picture(8, 8, QImage::Format_RGB32);
            picture.fill(Qt::cyan);
            picture.save(folder.file(QStringLiteral("data/%1.gif").arg(n)), "PNG");
        }
        QuillpostTest::SetUp();
    }

    static ReceivedMailRecord received(const QString& name) {
        return {QStringLiteral("件名") + name, QStringLiteral("2026/12/08 ") + name,
                name + QStringLiteral(" <") + name.toLower() + QStringLiteral("@example.jp>"),
                QStringLiteral("本文") + name + QStringLiteral("\r\n二行目"), 1};
    }
    static SentMailRecord sent(const QString& name) {
        return {QStringLiteral("送信") + name, name.toLower() + QStringLiteral("@example.jp"),
                QStringLiteral("送った本文") + name, QStringLiteral("2026/12/08  10:0") + name, 1};
    }
    void storeReceived(const QStringList& names) {
        ReceivedMailStore store = receivedMailStore(folder.path());
        for (const QString& name : names) {
            ASSERT_TRUE(store.Append(received(name)));
        }
    }
    void storeSent(const QStringList& names) {
        SentMailStore store = sentMailStore(folder.path());
        for (const QString& name : names) {
            ASSERT_TRUE(store.Append(sent(name)));
        }
    }
    // Opens the history window for `mode`.
    TyakuForm& open(qint16 mode) {
        app->HistoryMode = mode;
        return app->tyakuForm();
    }
    // Selects row `row` (from 1) and clicks the list.
    static void click(TyakuForm& form, int row) {
        form.MailListView->setCurrentItem(form.MailListView->topLevelItem(row - 1));
        form.MailListView_Click();
    }
    // The cells of one column.
    static QStringList rowTexts(TyakuForm& form, int column) {
        QStringList texts;
        for (int i = 0; i < form.MailListView->topLevelItemCount(); ++i) {
            texts.append(form.MailListView->topLevelItem(i)->text(column));
        }
        return texts;
    }
    QByteArray receivedFile() const {
        return folder.read(QStringLiteral("★MailData/qsmdata2.data"));
    }
    template <class Form>
    static Form* openWindow() {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* form = qobject_cast<Form*>(widget)) {
                return form;
            }
        }
        return nullptr;
    }
};
