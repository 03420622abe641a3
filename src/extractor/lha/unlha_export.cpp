// The entry point of the LHA module, called by Arcopen through QLibrary.
#include <QtGlobal>

#include <cstring>

#include "cp932.h"
#include "run_unlha.h"
#include "unlha_result.h"

namespace {

// The result in words, cut to `size` bytes with its terminator, never inside a
// double-byte character.
void report(const UnlhaOutcome& outcome, char* output, quint32 size) {
    const QString words =
        outcome.code == kUnlhaSuccess
            ? QStringLiteral("OK")
            : QStringLiteral("Error %1: %2").arg(outcome.code).arg(outcome.detail);
    const QByteArray bytes = encodeCp932(words);
    qsizetype length = 0;
    while (length < bytes.size()) {
        const qsizetype next =
            length + (isCp932LeadByte(static_cast<unsigned char>(bytes.at(length))) ? 2 : 1);
        if (next > static_cast<qsizetype>(size) - 1 || next > bytes.size()) {
            break;
        }
        length = next;
    }
    std::memcpy(output, bytes.constData(), static_cast<size_t>(length));
    output[length] = '\0';
}

}  // namespace

// Extracts as the command line asks (code page 932, see unlha_command.h) and returns an
// UnlhaResult. The owner window is not used: the module shows no dialogs of its own. When
// `outputSize` is not 0, `output` receives the result in words, zero-terminated.
extern "C" Q_DECL_EXPORT qint32 Unlha(void* ownerWindow, const char* commandLine, char* output,
                                      quint32 outputSize) {
    Q_UNUSED(ownerWindow);
    if (commandLine == nullptr) {
        return kUnlhaBadCommandLine;
    }
    const UnlhaOutcome outcome = runUnlha(QByteArrayView(commandLine, std::strlen(commandLine)));
    if (output != nullptr && outputSize > 0) {
        report(outcome, output, outputSize);
    }
    return outcome.code;
}
