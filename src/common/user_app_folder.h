#pragma once

#include <QString>

// An installed copy of the suite is shared and must stay as the package laid it out, so
// each user keeps the application folder's data in a folder of their own; the programs
// themselves stay in the installed folder and are only linked from there.

// Name of the file by which the install marks its application folder as installed.
inline constexpr char kInstalledMarker[] = ".quillpost-installed";

// Whether `suiteFolder` (the folder that holds Quillpost) is an installed copy: it holds the
// install marker or the user may not write into it.
bool isInstalledFolder(const QString& suiteFolder);

// The user's own application folder for an installed suite, shared by all four programs.
QString userSuiteFolder();

// Gives `user` what `installed` holds and `user` lacks: folders are made and data files
// copied; executables and modules become links to the installed ones, so that a program
// started from `user` is the installed (and upgraded) one. Nothing `user` already holds is
// replaced or changed, and nothing is written below `installed`. False if anything could
// not be made.
bool fillUserFolder(const QString& installed, const QString& user);

// The link by which a user's home reaches the attachment folder, which lies hidden below it.
inline constexpr char16_t kAttachmentLinkName[] = u"クイル・ポスト添付フォルダ";

// Fills `user` from `installed` (fillUserFolder). When it makes the folder, at a user's first
// start, it also puts the link `kAttachmentLinkName` to the folder's attachments into `home`,
// unless something of that name is there: the files a mail brought are then where the
// user looks. A link the user removed stays removed. False if the folder could not be filled.
bool makeUserFolder(const QString& installed, const QString& user, const QString& home);
