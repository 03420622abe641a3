#include "send/certificate_question.h"

#include "desktop.h"
#include "transport/certificate_pins.h"
#include "transport/certificate_problem.h"

bool askToTrustCertificate(Desktop& desktop, QWidget* parent, const QString& title,
                           const CertificateProblem& problem, const QString& pinFile) {
    const QString reason = describeCertificateProblem(problem);
    if (problem.fault == CertificateFault::Changed) {
        desktop.message(parent, reason, title, Desktop::Buttons::Ok, Desktop::Icon::Critical);
        return false;
    }
    const QString question =
        reason + QStringLiteral("\n\nこのサーバー (%1) については、この証明書を今後信頼しますか？")
                     .arg(problem.authority);
    if (desktop.message(parent, question, title, Desktop::Buttons::YesNo,
                        Desktop::Icon::Question) != Desktop::Answer::Yes) {
        return false;
    }
    QString error;
    if (!pinCertificate(pinFile, problem.authority, problem.sha256, error)) {
        desktop.message(parent, error, title, Desktop::Buttons::Ok, Desktop::Icon::Critical);
        return false;
    }
    return true;
}
