#pragma once

// Negative results of the transport operations. -5 and -6 belong to the attachment call.
namespace TransportResult {
inline constexpr int NetworkFailure = -1;  // unreachable, no POP3 greeting, timeout, cut off
inline constexpr int Refused = -2;         // the server answered with an error
inline constexpr int ApopNotOffered = -3;  // APOP asked for, no challenge in the greeting
inline constexpr int NoConnection = -4;    // unknown handle, or the handle is busy
inline constexpr int AttachmentCannotBeCreated = -5;
inline constexpr int PartsMissing = -6;
inline constexpr int UnreadableFile = -7;  // a file to attach cannot be read
inline constexpr int BadInput = -8;        // no usable server setting or no recipient
inline constexpr int UntrustedCertificate = -9;  // the server's certificate does not verify
}  // namespace TransportResult
