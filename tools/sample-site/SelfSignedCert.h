#pragma once

#include <QByteArray>

namespace samplesite {

// A key and a certificate for 127.0.0.1 and localhost, both PEM, made afresh at every start:
// the site's TLS needs no files, and a client trusts it by loading the certificate as its
// only authority (it signs itself and may act as one).
struct PemIdentity {
    QByteArray certificate;
    QByteArray privateKey;
};

// Empty members when OpenSSL could not make them.
PemIdentity MakeSelfSignedIdentity();

} // namespace samplesite
