#pragma once

#include <string>

namespace testsupport {

// Certificates and keys for TLS tests, all PEM files in one folder.
struct TestPki {
    std::string caCert; // the test CA; trust it to accept serverCert and otherHostCert

    // Signed by the test CA for DNS:localhost and IP:127.0.0.1.
    std::string serverCert, serverKey;
    // Signed by the test CA for DNS:other.example only: valid, but for the wrong host.
    std::string otherHostCert, otherHostKey;
    // Self-signed for DNS:localhost and IP:127.0.0.1; no CA vouches for it.
    std::string selfSignedCert, selfSignedKey;
};

// Makes a fresh test CA and the three server certificates in `folder` (which must exist) with the
// openssl command-line tool. Throws std::runtime_error when a step fails.
TestPki MakeTestPki(const std::string& folder);

} // namespace testsupport
