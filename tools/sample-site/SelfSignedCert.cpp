#include "SelfSignedCert.h"

#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rand.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <memory>

namespace samplesite {

namespace {

template<auto Free> struct Deleter {
    template<typename T> void operator()(T *p) const { Free(p); }
};
using KeyPtr = std::unique_ptr<EVP_PKEY, Deleter<EVP_PKEY_free>>;
using CertPtr = std::unique_ptr<X509, Deleter<X509_free>>;
using BioPtr = std::unique_ptr<BIO, Deleter<BIO_free_all>>;

bool addExtension(X509 *cert, int nid, const char *value)
{
    X509V3_CTX context;
    X509V3_set_ctx_nodb(&context);
    X509V3_set_ctx(&context, cert, cert, nullptr, nullptr, 0);
    X509_EXTENSION *extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value);
    if (!extension)
        return false;
    const bool added = X509_add_ext(cert, extension, -1) == 1;
    X509_EXTENSION_free(extension);
    return added;
}

QByteArray drain(BIO *bio)
{
    char *data = nullptr;
    const long size = BIO_get_mem_data(bio, &data);
    return size > 0 ? QByteArray(data, static_cast<qsizetype>(size)) : QByteArray();
}

} // namespace

PemIdentity MakeSelfSignedIdentity()
{
    // EVP_EC_gen() is a macro that casts the curve name's const away.
    KeyPtr key(EVP_PKEY_Q_keygen(nullptr, nullptr, "EC", "P-256"));
    CertPtr cert(X509_new());
    if (!key || !cert)
        return {};
    unsigned char serial[8];
    if (RAND_bytes(serial, sizeof serial) != 1)
        return {};
    serial[0] &= 0x7f; // a positive serial number
    BIGNUM *number = BN_bin2bn(serial, sizeof serial, nullptr);
    const bool serialSet = number && BN_to_ASN1_INTEGER(number, X509_get_serialNumber(cert.get()));
    BN_free(number);
    if (!serialSet || X509_set_version(cert.get(), 2) != 1)
        return {};
    // An hour back covers clocks that differ a little; a month is longer than any test run.
    X509_gmtime_adj(X509_getm_notBefore(cert.get()), -3600);
    X509_gmtime_adj(X509_getm_notAfter(cert.get()), 30L * 24 * 3600);
    X509_NAME *name = X509_get_subject_name(cert.get());
    X509_NAME_add_entry_by_txt(
        name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char *>("127.0.0.1"), -1, -1, 0);
    X509_NAME_add_entry_by_txt(
        name, "O", MBSTRING_ASC, reinterpret_cast<const unsigned char *>("quotra-sample-site"), -1, -1, 0);
    if (X509_set_issuer_name(cert.get(), name) != 1 || X509_set_pubkey(cert.get(), key.get()) != 1)
        return {};
    if (!addExtension(cert.get(), NID_subject_alt_name, "IP:127.0.0.1,DNS:localhost")
        || !addExtension(cert.get(), NID_basic_constraints, "critical,CA:TRUE")
        || !addExtension(cert.get(), NID_key_usage, "critical,digitalSignature,keyCertSign")
        || !addExtension(cert.get(), NID_ext_key_usage, "serverAuth")
        || !addExtension(cert.get(), NID_subject_key_identifier, "hash"))
        return {};
    if (X509_sign(cert.get(), key.get(), EVP_sha256()) <= 0)
        return {};

    BioPtr certBio(BIO_new(BIO_s_mem()));
    BioPtr keyBio(BIO_new(BIO_s_mem()));
    if (!certBio || !keyBio || PEM_write_bio_X509(certBio.get(), cert.get()) != 1
        || PEM_write_bio_PrivateKey(keyBio.get(), key.get(), nullptr, nullptr, 0, nullptr, nullptr) != 1)
        return {};
    return PemIdentity { drain(certBio.get()), drain(keyBio.get()) };
}

} // namespace samplesite
