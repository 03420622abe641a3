#pragma once

#include <curl/curl.h>

#include <QByteArray>
#include <QDeadlineTimer>

#include <functional>

// libcurl waits that keep the window alive: the user-interface thread waits in short
// slices and processes pending events between them, until the deadline.

// Drives the transfer of `easy`, already added to `multi`, to its end; its result, or
// CURLE_OPERATION_TIMEDOUT when the deadline comes first, or CURLE_ABORTED_BY_CALLBACK
// when `stop` (asked after the events of each slice) says so.
CURLcode runTransfer(CURLM* multi, CURL* easy, const QDeadlineTimer& deadline,
                     const std::function<bool()>& stop = {});

// The settings every connection of one transport shares.
struct NetworkOptions {
    int timeoutMs = 60000;
    QByteArray extraCaFile;  // PEM file trusted besides the system's authorities
    QString pinFile;         // certificates the user trusts per server (certificate_pins.h)
    QString securityFile;    // what servers showed of encryption (server_security.h)
};

// Options common to every handle: certificate checks, no proxy from the environment,
// no signals.
void applyNetworkOptions(CURL* easy, const NetworkOptions& options, char* errorBuffer);
