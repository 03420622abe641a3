#include "run_unlha.h"

#include <clocale>

#include "unlha_command.h"
#include "unlha_result.h"

namespace {

class ThreadUtf8Locale {
  public:
    ThreadUtf8Locale() : utf8_(newlocale(LC_ALL_MASK, "C.UTF-8", nullptr)) {
        if (utf8_ != nullptr) {
            previous_ = uselocale(utf8_);
        }
    }
    ~ThreadUtf8Locale() {
        if (utf8_ != nullptr) {
            uselocale(previous_);
            freelocale(utf8_);
        }
    }
    ThreadUtf8Locale(const ThreadUtf8Locale&) = delete;
    ThreadUtf8Locale& operator=(const ThreadUtf8Locale&) = delete;

  private:
    locale_t utf8_;
    locale_t previous_ = nullptr;
};

}  // namespace

UnlhaOutcome runUnlha(QByteArrayView commandLine) {
    const std::optional<UnlhaCommand> command = parseUnlhaCommand(commandLine);
    if (!command) {
        return {kUnlhaBadCommandLine, QString::fromLatin1(commandLine.toByteArray())};
    }
    const ThreadUtf8Locale utf8;
    return extractArchive(*command);
}
