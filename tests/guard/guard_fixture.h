#pragma once

#include <gtest/gtest.h>

#include <QFile>
#include <QStringList>

#include "form1.h"
#include "keyword_record.h"
#include "scripted_desktop.h"
#include "temp_app_folder.h"

// A Holdfast window over a fresh application folder.
class GuardTest : public ::testing::Test {
  protected:
    TempAppFolder app;
    ScriptedDesktop desktop;
    Form1 form{app.path(), desktop};

    KeywordStore store() const { return keywordStore(app.path()); }
    QByteArray listBytes() const { return app.read(QStringLiteral("qsmdata9.data")); }

    void registerKeyword(const QString& keyword) {
        form.Text5->setText(keyword);
        form.Command3_Click();
    }
    // Keywords in the file, in record order, without their padding.
    QStringList storedKeywords() const {
        QStringList out;
        for (const KeywordRecord& r : store().ReadAll()) {
            out.append(r.Keyword.trimmed());
        }
        return out;
    }
    QString attachment(const QString& name) const { return app.attachmentFolder() + u'/' + name; }
    void attach(const QString& name, const QByteArray& bytes = "x") const {
        app.write(QStringLiteral("添付フォルダ/") + name, bytes);
    }
    QString lastMessage() const {
        return desktop.messages.isEmpty() ? QString() : desktop.messages.last().text;
    }
};
