#include "limited_line_box.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>

#include <algorithm>
#include <memory>

#include "typing_room.h"

LimitedLineBox::LimitedLineBox(int maxLength, QWidget* parent)
    : QLineEdit(parent), limit_(maxLength) {}

qsizetype LimitedLineBox::room() const {
    return std::max<qsizetype>(0, limit_ - (text().size() - selectedText().size()));
}

void LimitedLineBox::pasteFitted() {
    if (isReadOnly()) {
        return;
    }
    insert(fitToRoom(QGuiApplication::clipboard()->text(), room(), false));
}

void LimitedLineBox::keyPressEvent(QKeyEvent* event) {
    if (event == QKeySequence::Paste) {
        pasteFitted();
        event->accept();
        return;
    }
    const QString typed = event->text();
    const bool inserts =
        !typed.isEmpty() && typed.front().isPrint() && !(event->modifiers() & Qt::ControlModifier);
    if (inserts && fitToRoom(typed, room(), false) != typed) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void LimitedLineBox::inputMethodEvent(QInputMethodEvent* event) {
    const QString commit = fitToRoom(event->commitString(), room(), false);
    if (commit == event->commitString()) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent cut(event->preeditString(), event->attributes());
    cut.setCommitString(commit, event->replacementStart(), event->replacementLength());
    QLineEdit::inputMethodEvent(&cut);
}

void LimitedLineBox::contextMenuEvent(QContextMenuEvent* event) {
    const std::unique_ptr<QMenu> menu(createStandardContextMenu());
    if (auto* paste = menu->findChild<QAction*>(QStringLiteral("edit-paste"))) {
        paste->disconnect();
        connect(paste, &QAction::triggered, this, &LimitedLineBox::pasteFitted);
    }
    menu->exec(event->globalPos());
}
