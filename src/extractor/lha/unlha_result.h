#pragma once

#include <QtGlobal>

// Results of the LHA module's `Unlha` entry point: 0 is success, every other value names
// what went wrong. Arcopen shows the value in hexadecimal, so each fits one digit.
enum UnlhaResult : qint32 {
    kUnlhaSuccess = 0,
    // The command line is not "x", switches, a quoted archive and a target folder.
    kUnlhaBadCommandLine = 1,
    // The archive file is missing or cannot be read.
    kUnlhaCannotOpen = 2,
    // The file is not an LHA archive (another format renamed .lzh counts too).
    kUnlhaNotAnArchive = 3,
    // A header or the data is damaged (CRC error) or the archive is cut short.
    kUnlhaCorrupt = 4,
    // An entry is packed with a method this module does not decode (-lh1- … -lh4- and
    // the like).
    kUnlhaUnsupportedMethod = 5,
    // The target folder or a file in it cannot be created or written.
    kUnlhaCannotWrite = 6,
    // An entry would land outside the target folder: an absolute name, a drive letter,
    // "..", a link pointing out, or a link already on disk in its way. Nothing of such an
    // archive is written.
    kUnlhaUnsafeEntry = 7,
    // The target folder is not one below the archive's folder that the module may create or
    // that the user owns (see target_folder.h). Nothing is written.
    kUnlhaUnsafeTarget = 8,
};
