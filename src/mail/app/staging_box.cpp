#include "app/staging_box.h"

#include <QRegularExpression>

StagingBox::StagingBox(QWidget* parent) : QWidget(parent) {
    hide();
}

void StagingBox::SetText(const QString& text) {
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
    text_ = text;
    text_.replace(lineEnd, QStringLiteral("\r\n"));
}
