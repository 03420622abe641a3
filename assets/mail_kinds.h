#pragma once

#include <QImage>

// Mail-kind picture `number` shown after a mail check: 1 new mail, 2 no mail, 3 a spare
// (a letter on its way), 4 mail with an attachment.
QImage mailKindPicture(int number);
