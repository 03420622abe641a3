#include "compose/limited_line_box.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>

#include <algorithm>
#include <memory>

#include "compose/typing_room.h"

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

qsizetype LimitedLineBox::replacedLength(const QInputMethodEvent& event) const {
    // The box drops the selection first, then the range around the cursor.
    const qsizetype remaining = text().size() - selectedText().size();
    const qsizetype cursor = hasSelectedText() ? selectionStart() : cursorPosition();
    const qsizetype start = std::max<qsizetype>(0, cursor + event.replacementStart());
    return std::clamp<qsizetype>(remaining - start, 0, event.replacementLength());
}

void LimitedLineBox::inputMethodEvent(QInputMethodEvent* event) {
    const QString commit = fitToRoom(event->commitString(), room() + replacedLength(*event), false);
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

void LimitedLineBox::dropEvent(QDropEvent* event) {
    const QString dropped = event->mimeData()->text();
    // A drop inserts beside the selection; only text moved within the box leaves its place.
    const bool movedHere = event->source() == this && event->dropAction() == Qt::MoveAction;
    const qsizetype free =
        limit_ - text().size() + (movedHere ? selectedText().size() : qsizetype{0});
    const QString fitted = fitToRoom(dropped, std::max<qsizetype>(0, free), false);
    if (fitted == dropped) {
        QLineEdit::dropEvent(event);
        return;
    }
    if (fitted.isEmpty()) {
        event->ignore();
        return;
    }
    QMimeData cut;
    cut.setText(fitted);
    QDropEvent fittedDrop(event->position(), event->possibleActions(), &cut, event->buttons(),
                          event->modifiers());
    fittedDrop.setDropAction(event->dropAction());
    QLineEdit::dropEvent(&fittedDrop);
    event->setDropAction(fittedDrop.dropAction());
    event->setAccepted(fittedDrop.isAccepted());
}

void LimitedLineBox::mouseReleaseEvent(QMouseEvent* event) {
    // The middle button pastes the selection where the window system has one.
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (event->button() == Qt::MiddleButton && clipboard->supportsSelection() && !isReadOnly()) {
        deselect();
        insert(fitToRoom(clipboard->text(QClipboard::Selection), room(), false));
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}
