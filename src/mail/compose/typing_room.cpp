#include "compose/typing_room.h"

QString fitToRoom(const QString& text, qsizetype room, bool lineEndIsTwo) {
    qsizetype left = room;
    qsizetype kept = 0;
    while (kept < text.size()) {
        const qsizetype cost = lineEndIsTwo && text[kept] == u'\n' ? 2 : 1;
        const qsizetype width = text[kept].isHighSurrogate() && kept + 1 < text.size() ? 2 : 1;
        if (cost * width > left) {
            break;
        }
        left -= cost * width;
        kept += width;
    }
    return text.left(kept);
}
