#pragma once

#include <QString>

class Desktop;
class QWidget;
struct CertificateProblem;

// Tells the user why the server's certificate was refused, in a box titled `title`. A
// certificate the user has not pinned for this server comes with the question whether to
// trust it for this server from now on; Yes pins it in `pinFile`. True when it was
// pinned: the caller tries again. A pinned certificate that changed is only refused.
bool askToTrustCertificate(Desktop& desktop, QWidget* parent, const QString& title,
                           const CertificateProblem& problem, const QString& pinFile);
