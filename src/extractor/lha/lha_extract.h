#pragma once

#include <QString>

struct UnlhaCommand;

struct UnlhaOutcome {
    qint32 code;     // an UnlhaResult
    QString detail;  // what failed, for the output buffer; empty on success
};

// Extracts the command's archive into its target folder, which must be a safe one (see
// target_folder.h). Every entry is checked before anything is written, so a hostile archive
// writes nothing; each file is written under a temporary name and renamed over its final
// name only once its data read back clean.
// Links in the archive are never made (one pointing out of the target folder fails the
// archive), and no link already on disk below the target folder is followed.
UnlhaOutcome extractArchive(const UnlhaCommand& command);
