#pragma once

// Negative results of the SMTP operation.
namespace TransportResult {
inline constexpr int NetworkFailure = -1;        // unreachable, timeout, cut off
inline constexpr int Refused = -2;               // the server answered with an error
inline constexpr int UnreadableFile = -7;        // a file to attach cannot be read
inline constexpr int BadInput = -8;              // no usable server setting or no recipient
inline constexpr int UntrustedCertificate = -9;  // the server's certificate does not verify
// The server offers no encryption and the user has not agreed to log in without it.
inline constexpr int ClearLoginNotAgreed = -10;
// The whole mail was handed over, and no answer to it came: it may have been delivered.
inline constexpr int MayHaveGone = -11;
// Stopped at the user's request before the whole mail was handed over: nothing was sent.
inline constexpr int Stopped = -12;
}  // namespace TransportResult
